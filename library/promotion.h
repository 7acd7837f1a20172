#pragma once

namespace library {

// The left-press event of the promotion label: hands the promotion address
// to the desktop, which opens it in the user's web browser. Nothing is
// waited for or reported.
void OpenPromotion();

}  // namespace library

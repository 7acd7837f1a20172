#include "library/promotion.h"

#include <QDesktopServices>
#include <QUrl>

namespace library {

void OpenPromotion()
{
    QDesktopServices::openUrl(QUrl::fromEncoded(QByteArrayLiteral(TOVRIMO_PROMOTION_URL)));
}

}  // namespace library

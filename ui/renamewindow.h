#pragma once

#include <QDialog>
#include <QMargins>

#include <string>

class QLineEdit;

namespace ui {

// The rename window "子夹重命名": one rename box on a small fixed window
// with a close box only. It is built anew for each rename, so the box
// starts empty, and it lives only while the rename is in progress.
//
// The close box, Alt+F4 and Esc all close it; none of them cancels, and
// Enter does nothing. Whatever the box holds when the window goes is the
// new name: the owner reads it on willBeDestroyed().
class RenameWindow final : public QDialog
{
    Q_OBJECT

public:
    // The outer frame, caption and borders included.
    static constexpr QSize kOuterSize{217, 97};

    explicit RenameWindow(QWidget* owner);
    // Raises willBeDestroyed() before anything of the window is gone.
    ~RenameWindow() override;

    QLineEdit& renameBox() { return *m_renameBox; }
    // The rename box's whole text as bytes.
    std::string Text() const;

signals:
    // The window is being destroyed; the rename box still holds its text.
    void willBeDestroyed();

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // Sizes the client area so that the outer frame is kOuterSize, and
    // centres the frame on the screen; again when the window system's frame
    // turns out other than first known.
    void FitFrame();

    QLineEdit* m_renameBox = nullptr;
    QMargins m_fittedFrame;
    bool m_fitted = false;
};

}  // namespace ui

#include "ui/renamewindow.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QValidator>
#include <QWindow>

#include <limits>

#include "ui/codec.h"
#include "ui/fonts.h"

namespace ui {

namespace {

constexpr QColor kRenameTextColour{255, 0, 0};

// The box keeps one line, as a one-line edit box takes a paste or a drop:
// only the first line of the text that comes in. A name is stored as one
// settings line, and a text never holds a zero character, so line breaks
// and zeros have no place in it; cutting them here keeps the tab and the
// stored name the same.
class OneLineValidator final : public QValidator
{
public:
    using QValidator::QValidator;

    State validate(QString& input, int& pos) const override
    {
        const qsizetype cut = FirstBreak(input, 0);
        if (cut < 0)
            return Acceptable;
        // The box never holds a break, so this one came with the text just
        // put in, which ends at the cursor: the rest of that text goes, and
        // what stood after the cursor stays.
        const qsizetype resume = pos > cut ? pos : input.size();
        QString kept = input.left(cut);
        const qsizetype rest = FirstBreak(input, resume);
        kept += input.mid(resume, rest < 0 ? -1 : rest - resume);
        input = kept;
        pos = static_cast<int>(cut);
        return Acceptable;
    }

private:
    static qsizetype FirstBreak(const QString& text, qsizetype from)
    {
        for (qsizetype i = from; i < text.size(); ++i) {
            const QChar c = text.at(i);
            if (c == u'\r' || c == u'\n' || c == u'\0')
                return i;
        }
        return -1;
    }
};

}  // namespace

RenameWindow::RenameWindow(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                         | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("子夹重命名"));
    setWindowTitle(QStringLiteral("子夹重命名"));

    m_renameBox = new QLineEdit(this);
    m_renameBox->setObjectName(QStringLiteral("编辑框表头重命名"));
    m_renameBox->setGeometry(32, 16, 144, 32);
    m_renameBox->setAlignment(Qt::AlignCenter);
    m_renameBox->setFont(RenameBoxFont());
    m_renameBox->setMaxLength(std::numeric_limits<int>::max());  // no limit of its own
    m_renameBox->setValidator(new OneLineValidator(m_renameBox));
    QPalette colours = m_renameBox->palette();
    colours.setColor(QPalette::Text, kRenameTextColour);
    colours.setColor(QPalette::Base, Qt::white);
    // The selection shows only while the box has the focus.
    colours.setColor(QPalette::Inactive, QPalette::Highlight, Qt::white);
    colours.setColor(QPalette::Inactive, QPalette::HighlightedText, kRenameTextColour);
    m_renameBox->setPalette(colours);
    // The window hands the focus to the box, so typing starts at once.
    m_renameBox->setFocus();

    // The native window exists from here on, so that a frame the window
    // system tells before the window is shown counts at once.
    create();
    FitFrame();
}

RenameWindow::~RenameWindow()
{
    // First, while the rename box and its text are still there.
    emit willBeDestroyed();
}

std::string RenameWindow::Text() const
{
    return EncodeText(m_renameBox->text());
}

void RenameWindow::FitFrame()
{
    const QWindow* window = windowHandle();
    const QMargins frame = window ? window->frameMargins() : QMargins();
    if (m_fitted && frame == m_fittedFrame)
        return;
    m_fitted = true;
    m_fittedFrame = frame;
    setFixedSize(kOuterSize.shrunkBy(frame));

    const QScreen* screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->geometry();
    // A window's position is that of its outer frame.
    move(area.x() + (area.width() - kOuterSize.width()) / 2,
         area.y() + (area.height() - kOuterSize.height()) / 2);
}

// An X11 window manager puts its frame around the window only once it is
// shown, and tells its size by the time the window is first activated.
void RenameWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FitFrame();
}

void RenameWindow::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange)
        FitFrame();
}

}  // namespace ui

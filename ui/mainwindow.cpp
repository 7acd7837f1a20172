#include "ui/mainwindow.h"

#include <QAbstractNativeEventFilter>
#include <QCursor>
#include <QGuiApplication>
#include <QIcon>
#include <QMenu>
#include <QAction>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QWindow>

#include <array>
#include <cstdint>
#include <cstring>
#include <functional>
#include <utility>

#include "ui/contentbox.h"
#include "ui/entrylist.h"
#include "ui/foldertabs.h"
#include "ui/geometry.h"
#include "ui/layout.h"
#include "ui/promotionlabel.h"

namespace ui {

namespace {

// A menu shows its top-left corner this far right of and below the pointer.
constexpr QPoint kMenuOffset{3, 3};

// The window system keeps the client area at least one pixel in each
// direction (an empty one would unmap the window).
constexpr QSize kMinimumClientSize{1, 1};

// Under X11 a window manager tells the frame it puts around a window in a
// property of the window (_NET_FRAME_EXTENTS) and by reparenting the window
// into the frame. Qt reads the frame anew after such a notification, but
// the widget hears of it only when its client area moved or changed size
// as well. This filter passes on every property, configure and reparent
// notification of one window.
class X11FrameNotifications final : public QAbstractNativeEventFilter
{
public:
    X11FrameNotifications(WId window, std::function<void()> notify)
        : m_window(static_cast<std::uint32_t>(window))
        , m_notify(std::move(notify))
    {
    }

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override
    {
        if (eventType != "xcb_generic_event_t")
            return false;
        // The X11 protocol's event layouts: the window that a PropertyNotify
        // is about lies at byte 4, that of a ReparentNotify or a
        // ConfigureNotify at byte 8. The top bit of the type marks an event
        // sent by another client, as a window manager sends some of them.
        constexpr unsigned kReparentNotify = 21;
        constexpr unsigned kConfigureNotify = 22;
        constexpr unsigned kPropertyNotify = 28;
        const auto* bytes = static_cast<const unsigned char*>(message);
        std::size_t offset = 0;
        switch (bytes[0] & 0x7Fu) {
        case kPropertyNotify:
            offset = 4;
            break;
        case kReparentNotify:
        case kConfigureNotify:
            offset = 8;
            break;
        default:
            return false;
        }
        std::uint32_t window = 0;
        std::memcpy(&window, bytes + offset, sizeof window);
        if (window == m_window)
            m_notify();
        return false;  // Qt handles the event as ever
    }

private:
    std::uint32_t m_window;
    std::function<void()> m_notify;
};

QPushButton* MakeButton(QWidget* parent, const QString& name, const QString& caption)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

}  // namespace

MainWindow::MainWindow()
{
    setObjectName(QStringLiteral("Tovrimo"));
    setWindowTitle(QStringLiteral("Tovrimo"));
    setWindowIcon(QIcon(QStringLiteral(":/tovrimo.svg")));
    QPalette colours = palette();
    colours.setColor(QPalette::Window, colours.color(QPalette::Button));
    setPalette(colours);
    setAutoFillBackground(true);
    setMinimumSize(kMinimumClientSize);

    // Where controls overlap, one made later lies above: the entry list,
    // made last, covers the page area of the folder tabs, made first.
    const ControlGeometry design = DesignGeometry();
    m_folderTabs = new FolderTabs(this);
    m_folderTabs->setGeometry(design[Control::FolderTabs]);
    m_addButton = MakeButton(this, QStringLiteral("按钮加添内容"), QStringLiteral("加添内容"));
    m_addButton->setGeometry(design[Control::AddButton]);
    m_contentBox = new ContentBox(this);
    m_contentBox->setGeometry(design[Control::ContentBox]);
    m_modifyButton = MakeButton(this, QStringLiteral("按钮修改内容"), QStringLiteral("修改内容"));
    m_modifyButton->setGeometry(design[Control::ModifyButton]);
    m_promotionLabel = new PromotionLabel(this);
    m_promotionLabel->setGeometry(design[Control::PromotionLabel]);
    m_entryList = new EntryList(this);
    m_entryList->setGeometry(design[Control::EntryList]);

    setTabOrder(m_entryList, m_contentBox);
    setTabOrder(m_contentBox, m_addButton);
    setTabOrder(m_addButton, m_modifyButton);
    m_entryList->setFocus();

    // Esc closes the window from wherever the focus is.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WindowShortcut);
    connect(escape, &QShortcut::activated, this, &QWidget::close);

    // The native window exists from here on, so that its frame is known
    // (where the window system tells it before the window is shown) and the
    // outer size can be kept exact.
    create();

    // Where the window system tells the frame before the window is shown,
    // sizes are exact from the start. Elsewhere the frame becomes known
    // later (see SettleFrame).
    m_frame = LiveFrame();
    m_frameSettled = !m_frame.isNull();
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        m_frameNotifications =
            std::make_unique<X11FrameNotifications>(winId(), [this] { ReportWhenToldAll(); });
        QCoreApplication::instance()->installNativeEventFilter(m_frameNotifications.get());
    }
    windowHandle()->installEventFilter(this);

    // Centred on the primary screen for the design size of the outer frame.
    const QMargins frame = FrameMargins();
    QPoint topLeft;
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        topLeft = {area.x() + (area.width() - kDesignSize.width()) / 2,
                   area.y() + (area.height() - kDesignSize.height()) / 2};
    }
    setGeometry(QRect(topLeft, kDesignSize).marginsRemoved(frame));
    ReportGeometry();
}

MainWindow::~MainWindow() = default;

QMargins MainWindow::FrameMargins() const
{
    return m_frame;
}

QMargins MainWindow::LiveFrame() const
{
    const QWindow* window = windowHandle();
    return window ? window->frameMargins() : QMargins();
}

void MainWindow::SettleFrame()
{
    // While a window manager builds its frame around the shown window, the
    // frame reads as passing values; it holds once the window is on screen.
    if (!m_frameSettled && isVisible() && !windowHandle()->isExposed())
        return;
    const QMargins frame = LiveFrame();
    if (frame == m_frame)
        return;
    const QMargins before = std::exchange(m_frame, frame);
    if (m_frameSettled)
        return;  // from the second time on the frame is only followed
    m_frameSettled = true;

    // An X11 window manager puts its frame around the window once it is
    // shown, and until then the frame reads as empty: the size that start-up
    // restored went to the client area, and the outer frame came out larger
    // by the frame. Correct that once: the outer frame gets the size, and,
    // unless the window was moved meanwhile, the place that the program gave
    // it. Where the window system changed the size along with the frame, or
    // the window is no longer in its normal state, its geometry is its own
    // choice and stays.
    const QRect client = ClientGeometry();
    if (!isVisible() || (windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen))
        || client.size() != m_reportedSize)
        return;
    QPoint topLeft = client.topLeft();
    if (topLeft == m_reportedPosition)
        topLeft += QPoint(frame.left() - before.left(), frame.top() - before.top());
    const QSize size = client.size().grownBy(before).shrunkBy(frame);
    m_windowSystemPosition.reset();
    setGeometry(QRect(topLeft, size.expandedTo(minimumSize()).boundedTo(maximumSize())));
}

QRect MainWindow::ClientGeometry() const
{
    QRect client = geometry();
    if (m_windowSystemPosition)
        client.moveTopLeft(*m_windowSystemPosition);
    return client;
}

QRect MainWindow::OuterFrame() const
{
    return ClientGeometry().marginsAdded(FrameMargins());
}

int MainWindow::Left() const
{
    return OuterFrame().x();
}

int MainWindow::Top() const
{
    return OuterFrame().y();
}

int MainWindow::Width() const
{
    return OuterFrame().width();
}

int MainWindow::Height() const
{
    return OuterFrame().height();
}

void MainWindow::SetLeft(int left)
{
    SettleFrame();
    MoveFrame({ClampPosition(left), Top()});
}

void MainWindow::SetTop(int top)
{
    SettleFrame();
    MoveFrame({Left(), ClampPosition(top)});
}

void MainWindow::SetWidth(int width)
{
    SettleFrame();
    const QMargins frame = FrameMargins();
    ResizeClient({ClampExtent(width) - frame.left() - frame.right(), geometry().height()});
}

void MainWindow::SetHeight(int height)
{
    SettleFrame();
    const QMargins frame = FrameMargins();
    ResizeClient({geometry().width(), ClampExtent(height) - frame.top() - frame.bottom()});
}

void MainWindow::MoveFrame(QPoint topLeft)
{
    if (isVisible()) {
        move(topLeft);  // a shown window's position is that of its frame
    } else {
        const QMargins frame = FrameMargins();
        setGeometry(QRect(topLeft + QPoint(frame.left(), frame.top()), geometry().size()));
    }
    ReportGeometry();
}

void MainWindow::ResizeClient(QSize size)
{
    // resize() keeps the top-left corner.
    resize(size.expandedTo(minimumSize()).boundedTo(maximumSize()));
    ReportGeometry();
}

void MainWindow::Start()
{
    m_started = true;
    emit created();
    emit positionChanged();
    emit sizeChanged();
    show();
}

void MainWindow::PopUpMenu(Menu menu)
{
    struct Item
    {
        QString text;
        void (MainWindow::*chosen)();
    };
    const std::array<Item, 2> items =
        menu == Menu::Folder
            ? std::array<Item, 2>{{{QStringLiteral("增加子夹"), &MainWindow::addFolderChosen},
                                   {QStringLiteral("重命名子夹"), &MainWindow::renameFolderChosen}}}
            : std::array<Item, 2>{{{QStringLiteral("删除表项"), &MainWindow::deleteEntryChosen},
                                   {QStringLiteral("向上移"), &MainWindow::moveEntryUpChosen}}};

    // Built anew each time, from its items.
    QMenu popup(this);
    popup.setObjectName(menu == Menu::Folder ? QStringLiteral("菜单") : QStringLiteral("菜单2"));
    for (const Item& item : items)
        popup.addAction(item.text);
    const QAction* chosen = popup.exec(QCursor::pos() + kMenuOffset);
    if (!chosen)
        return;
    const QList<QAction*> actions = popup.actions();
    const auto signal = items[static_cast<std::size_t>(actions.indexOf(chosen))].chosen;
    // The item runs as an event of its own, after the press that popped the
    // menu up has reached its control.
    QMetaObject::invokeMethod(this, [this, signal] { emit(this->*signal)(); }, Qt::QueuedConnection);
}

void MainWindow::BringToFront()
{
    if (isMinimized())
        setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    show();
    raise();
    activateWindow();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    // Once the window is on screen its frame holds (see SettleFrame).
    if (watched == windowHandle() && event->type() == QEvent::Expose && !m_frameSettled)
        ReportWhenToldAll();
    return QWidget::eventFilter(watched, event);
}

void MainWindow::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    ReportWhenToldAll();
}

void MainWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (!event->spontaneous()) {
        ReportWhenToldAll();
        return;
    }
    // The window system resized the window, which is repainted as soon as
    // this returns: the controls are laid out now, or a frame would show
    // them in their old place and a second paint would follow. The native
    // window holds the whole change already, its new place included, which
    // the widget learns only from a move event that comes next.
    m_windowSystemPosition = windowHandle()->geometry().topLeft();
    ReportGeometry();
    m_windowSystemPosition.reset();
}

void MainWindow::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        ReportWhenToldAll();
}

void MainWindow::ReportWhenToldAll()
{
    // The window system tells one change in pieces: a maximise comes as
    // the new state, then the new size, then the new place, and the frame
    // may follow later still; a restore may tell the new place before the
    // new size. Reporting a move or a state at once would store sizes the
    // window never had: the report waits until the pieces that have
    // arrived are all in.
    if (m_reportQueued)
        return;
    m_reportQueued = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_reportQueued = false;
            ReportGeometry();
        },
        Qt::QueuedConnection);
}

void MainWindow::ReportGeometry()
{
    SettleFrame();
    const QRect client = ClientGeometry();
    const Qt::WindowStates state =
        windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen);
    // A change of state (minimised, maximised, restored) counts as a move:
    // on Windows each of them moves the client area. A frame told late
    // (a maximised window loses its borders) changes the outer frame's
    // place and size.
    const bool frameChanged = m_frame != m_reportedFrame;
    const bool moved = client.topLeft() != m_reportedPosition || state != m_reportedState || frameChanged;
    const bool resized = client.size() != m_reportedSize || frameChanged;
    m_reportedPosition = client.topLeft();
    m_reportedSize = client.size();
    m_reportedState = state;
    m_reportedFrame = m_frame;
    if (!m_started)
        return;
    if (moved)
        emit positionChanged();
    if (resized)
        emit sizeChanged();
}

}  // namespace ui

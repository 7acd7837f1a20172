#include "ui/mainwindow.h"

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
    const QWindow* window = windowHandle();
    return window ? window->frameMargins() : QMargins();
}

QRect MainWindow::OuterFrame() const
{
    return geometry().marginsAdded(FrameMargins());
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
    MoveFrame({ClampPosition(left), Top()});
}

void MainWindow::SetTop(int top)
{
    MoveFrame({Left(), ClampPosition(top)});
}

void MainWindow::SetWidth(int width)
{
    const QMargins frame = FrameMargins();
    ResizeClient({ClampExtent(width) - frame.left() - frame.right(), geometry().height()});
}

void MainWindow::SetHeight(int height)
{
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

void MainWindow::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    ReportGeometry();
}

void MainWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    ReportGeometry();
}

void MainWindow::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        ReportGeometry();
}

void MainWindow::ReportGeometry()
{
    const QRect client = geometry();
    const Qt::WindowStates state =
        windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen);
    // A change of state (minimised, maximised, restored) counts as a move:
    // on Windows each of them moves the client area.
    const bool moved = client.topLeft() != m_reportedPosition || state != m_reportedState;
    const bool resized = client.size() != m_reportedSize;
    m_reportedPosition = client.topLeft();
    m_reportedSize = client.size();
    m_reportedState = state;
    if (!m_started)
        return;
    if (moved)
        emit positionChanged();
    if (resized)
        emit sizeChanged();
}

}  // namespace ui

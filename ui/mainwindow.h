#pragma once

#include <QMargins>
#include <QPoint>
#include <QSize>
#include <QWidget>

#include <memory>
#include <optional>

class QAbstractNativeEventFilter;
class QPushButton;

namespace ui {

class ContentBox;
class EntryList;
class FolderTabs;
class PromotionLabel;

// The one main window "Tovrimo" and its six controls. It is built hidden,
// centred on the primary screen at its design size; Start() raises the
// created event and shows it.
//
// Its geometry is that of the outer frame: left and top on the screen,
// width and height with caption and borders. Where the window system tells
// the frame only once the window is shown (X11), the outer size that the
// program wrote is kept when the frame appears.
class MainWindow final : public QWidget
{
    Q_OBJECT

public:
    enum class Menu
    {
        Folder,  // "增加子夹", "重命名子夹"
        Entry,   // "删除表项", "向上移"
    };

    static constexpr QSize kDesignSize{1043, 666};

    MainWindow();
    ~MainWindow() override;

    FolderTabs& folderTabs() { return *m_folderTabs; }
    EntryList& entryList() { return *m_entryList; }
    ContentBox& contentBox() { return *m_contentBox; }
    QPushButton& addButton() { return *m_addButton; }
    QPushButton& modifyButton() { return *m_modifyButton; }
    PromotionLabel& promotionLabel() { return *m_promotionLabel; }

    int Left() const;
    int Top() const;
    int Width() const;
    int Height() const;
    // Moves the window, keeping its size.
    void SetLeft(int left);
    void SetTop(int top);
    // Resizes the window at once, keeping its top-left corner and the other
    // dimension. When the size changes, the size-changed event is raised
    // before the write returns.
    void SetWidth(int width);
    void SetHeight(int height);

    // Raises the created event, then the position-changed and the
    // size-changed event once each, and shows the window. Nothing is raised
    // before this: handlers are connected after the window is built.
    void Start();

    // Shows the menu at the pointer and waits until it is dismissed. The
    // chosen item's event is queued: it is raised after the event that
    // popped the menu up has returned.
    void PopUpMenu(Menu menu);

    // Shows the window in front of the others, restored if it was minimised.
    void BringToFront();

signals:
    void created();
    // The client area moved on the screen, or the window was minimised,
    // maximised or restored, or its frame changed. Never raised by a size
    // the program writes.
    void positionChanged();
    // The client area changed its size, or the frame around it did: raised
    // inside a size write of the program, and after every other change.
    // When one change of the window system raises both, position-changed
    // comes first, and both see the geometry after the whole change.
    void sizeChanged();

    void addFolderChosen();
    void renameFolderChosen();
    void deleteEntryChosen();
    void moveEntryUpChosen();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // The frame as last settled: outer geometry is read and written with it.
    QMargins FrameMargins() const;
    // The frame as the window system tells it now.
    QMargins LiveFrame() const;
    // Takes up the frame that the window system tells now; the first time a
    // frame appears around the shown window, the outer size is kept.
    void SettleFrame();
    // The client area: as the widget has it, or, while a resize by the
    // window system is reported, in the place the window system gave it.
    QRect ClientGeometry() const;
    QRect OuterFrame() const;
    void MoveFrame(QPoint topLeft);
    void ResizeClient(QSize size);
    // Raises the events for what changed since the last report: at once
    // for a write of the program, ...
    void ReportGeometry();
    // ... and, for a move or a change of state by the window system, once
    // it has told all that has arrived of the change.
    void ReportWhenToldAll();

    FolderTabs* m_folderTabs = nullptr;
    EntryList* m_entryList = nullptr;
    ContentBox* m_contentBox = nullptr;
    QPushButton* m_addButton = nullptr;
    QPushButton* m_modifyButton = nullptr;
    PromotionLabel* m_promotionLabel = nullptr;

    bool m_started = false;
    QPoint m_reportedPosition;
    QSize m_reportedSize;
    Qt::WindowStates m_reportedState;
    QMargins m_reportedFrame;
    std::optional<QPoint> m_windowSystemPosition;
    bool m_reportQueued = false;
    QMargins m_frame;
    bool m_frameSettled = false;
    std::unique_ptr<QAbstractNativeEventFilter> m_frameNotifications;
};

}  // namespace ui

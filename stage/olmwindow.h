#pragma once

#include <QMainWindow>
#include <vector>

class Dreditor;
class DreditWidget;
class DrsetWidget;
class HitpointWidget;
class NoteParser;
class PopupMenu;
class QGLWindow;
class QLabel;
class SoundEngine;

// The main window: the stage view, the panels of the song editor and of the drum-set editor, the
// sound engine and the note parser, with the menus. It starts in the song editor on the default
// kit. Each switch between the editors undoes the links it made for the mode it leaves, hands the
// kit over by copy, rebuilds the panels of the new mode and links everything anew; no other place
// connects the components.
//
// The members are public because tests and tools drive the window through its own parts.
class olmWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit olmWindow(QWidget* parent = nullptr, const char* name = nullptr,
                       Qt::WindowFlags f = Qt::Window);
    ~olmWindow() override;

    PopupMenu* viewsMenu = nullptr;
    PopupMenu* ikMenu = nullptr;
    QGLWindow* qgl = nullptr;
    // Only while the drum-set editor is active.
    DrsetWidget* drsetPanel = nullptr;
    HitpointWidget* hitpointPanel = nullptr;
    SoundEngine* soundEngine = nullptr;
    // Only while the song editor is active.
    Dreditor* dreditor = nullptr;
    // Made once; hidden in the drum-set editor.
    DreditWidget* dreditPanel = nullptr;
    NoteParser* noteParser = nullptr;
    // A line above the beat grid, only in the song editor.
    QLabel* spacer = nullptr;
    QWidget* topBox = nullptr;
    QWidget* leftColumn = nullptr;
    QWidget* rightColumn = nullptr;
    QWidget* bottomBox = nullptr;
    QLabel* splash = nullptr;
    int mode = 1; // 0 song editor, 1 drum-set editor
    bool firstTime = true;

public slots:
    void chgModeDrset();
    void chgModePatern();
    void footIK();
    void footRot();
    void rhandOri();
    void rhandOriN();
    void view(int id);
    void about();
    void aboutQt();
    void controlls();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    void showSplash();
    void buildMenus();
    void buildLayout();
    void fillViewsMenu();
    void connectViewsMenu();
    void makeDrsetPanel();
    void setIkItems(int first, const char* firstText, const char* secondText);
    void connectSongEditor();
    void connectDrsetEditor();
    void disconnectMode();

    // The links made for the active mode, undone at the next switch.
    std::vector<QMetaObject::Connection> modeLinks;
};

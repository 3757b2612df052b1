#pragma once

#include "kit/drumset.h"

#include <QStringList>
#include <QWidget>
#include <memory>
#include <vector>

class PopupMenu;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSlider;
class QSpinBox;

// The drum-set editor's left panel: owns the kit being edited and shows it as a tree list of
// drums. The selected drum (or, at the root row, the kit itself) is moved and turned with the
// spin boxes or by drags in the stage view; children are added by the types their parent allows.
// Every change of the drums or their placement sends the kit to the view, and the selected drum
// goes to the hit-point panel.
class DrsetWidget : public QWidget
{
    Q_OBJECT

public:
    explicit DrsetWidget(QWidget* parent = nullptr, const char* name = nullptr,
                         Qt::WindowFlags flags = {});
    ~DrsetWidget() override;

    // Held by value: the main window assigns it a copy of the song editor's kit, which shares
    // that kit's drums.
    DrumSet drumSet;
    int currentDrum = -1;      // id of the selected drum, -1 for the root row
    int soundCounter = 0;      // the identifier that the next sound read will get
    int drumCounter = 0;       // the id that the next drum read will get
    std::vector<int> rowDrums; // id of the drum in list row r + 1
    QStringList typeNames;     // body-type names by type, appended by the main window
    std::vector<int> comboTypes;
    std::vector<int> menuTypes; // body type of each add-child item; the item's id is its index
    int listRow = 0;

    PopupMenu* addChildMenu;
    PopupMenu* noChildrenMenu;
    PopupMenu* noOtherChildrenMenu;

    QFrame* drsetWidget;
    QLabel* drsetLabel;
    QPushButton* drsetNewButton;
    QPushButton* drsetLoadButton;
    QPushButton* drsetSaveButton;
    QLabel* drsetNameLabel;
    QLineEdit* drsetNameLineEdit;
    QLabel* drsetInfoLabel;
    QLineEdit* drsetInfoLineEdit;
    QLabel* drsetVersionLabel;
    QLineEdit* drsetVersionLineEdit;
    QLabel* drsetLine1;
    QLabel* drumLabel;
    QPushButton* drumAddButton;
    QPushButton* drumRemoveButton;
    QLabel* drumSelLabel;
    QListWidget* drumList;
    QLabel* drumBodyLabel;
    QComboBox* drumBodyCombo;
    QLabel* priorLabel;
    QSlider* priorSlider;
    QGroupBox* drumTranslateGroup;
    QSpinBox* drumTranslateXSpin;
    QSpinBox* drumTranslateYSpin;
    QSpinBox* drumTranslateZSpin;
    QGroupBox* drumRotateGroup;
    QSpinBox* drumRotateXSpin;
    QSpinBox* drumRotateYSpin;
    QSpinBox* drumRotateZSpin;
    QLabel* lockTrX;
    QLabel* lockTrY;
    QLabel* lockTrZ;
    QLabel* lockRoX;
    QLabel* lockRoY;
    QLabel* lockRoZ;

public slots:
    void drsetNew();
    void drsetLoad();
    void drsetSave();
    void drsetName(const QString& text);
    void drsetInfo(const QString& text);
    void drsetVersion(const QString& text);
    void drSel(int row);
    void drAdd(int menuId);
    void setMenu();
    void drRem();
    void drLoad();
    void drSave();
    void drTypeSel(int index);
    void drTrX(int centimetres);
    void drTrY(int centimetres);
    void drTrZ(int centimetres);
    void drRoX(int degrees);
    void drRoY(int degrees);
    void drRoZ(int degrees);
    void rotX(float degrees);
    void rotY(float degrees);
    void rotZ(float degrees);
    void posX(float metres);
    void posY(float metres);
    void posZ(float metres);
    void priorSlot(int priority);
    void updateLevels(int removedId);
    void recvDrum(Drum* drum);
    void updateAll();
    void updateGeometry();
    void updateWoDrumList();
    void recvSet(DrumSet* set);

signals:
    void sendSet(DrumSet* set);
    void sendDrum(Drum* drum);
    void isDrum(bool shown);
    void removeSound(int id);
    void soundClear();
    void addSound(QString file);

protected:
    bool event(QEvent* e) override;

private:
    void buildForm();
    void connectForm();
    void applyFonts(int titlePoints);
    void listChildren(const Drum& drum, int depth);
    void appendRow(const Drum& drum, const QString& text);
    void fillTypeCombo(const Drum& drum);
    // The selected drum; null for the root row or an id that the kit does not hold.
    Drum* selectedDrum() const;
    Drum* parentOf(const Drum& drum) const;
    void unlink(Drum& drum);
    void releaseSounds(Drum& drum);
    void dropRemovedDrums();
    // The component that the spin box or drag of that axis edits: the kit's own at the root row,
    // null on a locked axis.
    float* editedTranslation(int axis);
    float* editedRotation(int axis);
    QSpinBox* translationSpin(int axis) const;
    QSpinBox* rotationSpin(int axis) const;
    void setTranslation(int axis, int centimetres);
    void setRotation(int axis, int degrees);
    void moveBy(int axis, float metres);
    void turnBy(int axis, float degrees);
    QString typeName(int type) const;

    // Removed drums stay alive while the panel lives: a kit handed over earlier may still list
    // them.
    std::vector<std::shared_ptr<Drum>> removedDrums;
};

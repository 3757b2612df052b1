#pragma once

#include "kit/drum.h"

#include <QWidget>
#include <memory>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

// The drum-set editor's right-hand panel: edits the hit points of the drum selected in the
// drum-set panel, their velocity layers and sounds, and test-plays them at twelve velocities.
//
// It works on a copy of the drum that shares the kit drum's hit points, and hands the copy back
// after every edit with sendDrum. Every connection delivers synchronously, and sendDrum and
// updateSndIDs may come back into recvDrum before the emitting slot goes on: slots re-read the
// working copy after each emission.
class HitpointWidget : public QWidget
{
    Q_OBJECT

public:
    static constexpr int testButtons = 12;

    explicit HitpointWidget(QWidget* parent = nullptr, const char* name = nullptr,
                            Qt::WindowFlags flags = {});
    ~HitpointWidget() override;

    // A copy of the shown drum, or an empty drum when no hit point can be shown.
    std::unique_ptr<Drum> workDrum;
    int currentHit = -1;
    int currentLevel = -1;
    bool drumShown = false;

    QFrame* hitpointFrame = nullptr;
    QLabel* hitLabel = nullptr;
    QComboBox* hitCombo = nullptr;
    QLineEdit* hitNameLineEdit = nullptr;
    QPushButton* hitAddButton = nullptr;
    QPushButton* hitRemoveButton = nullptr;
    QComboBox* hitTypeCombo = nullptr;
    QSpinBox* hitTranslateXSpin = nullptr;
    QSpinBox* hitTranslateYSpin = nullptr;
    QSpinBox* hitTranslateZSpin = nullptr;
    QSpinBox* hitVeloSpin = nullptr;
    QLabel* dynaLabel = nullptr;
    QComboBox* dynaCombo = nullptr;
    QFrame* dynaLevelLineh = nullptr; // shade over the velocities above the level
    QFrame* dynaLevelLinel = nullptr; // shade over the velocities below the level
    QPushButton* dynaRemoveButton = nullptr;
    QPushButton* dynaAddButton = nullptr;
    QSpinBox* dynaMaxveloSpin = nullptr;
    QLabel* soundNameLabel = nullptr;
    QPushButton* soundLoadButton = nullptr;
    QButtonGroup* veloButtons = nullptr; // test button i plays velocity 120 - 10 * i
    QCheckBox* showDrummerCheck = nullptr;
    QCheckBox* showHitCheck = nullptr;

public slots:
    void hitSel(int index);
    void hitName(const QString& text);
    void hitAdd();
    void hitRem();
    void hitTypeSel(int type);
    void hitTrX(int cm);
    void hitTrY(int cm);
    void hitTrZ(int cm);
    void posX(float metres);
    void posY(float metres);
    void posZ(float metres);
    void hitVelo(int percent);
    void dynaSel(int level);
    void dynaAdd();
    void dynaRem();
    void dynaMax(int velocity);
    void dynaLoad();
    void updateAll();
    void updateLevels();
    void updatePos();
    void recvDrum(Drum* drum);
    void isDrumSlot(bool shown);
    void recvSndID(int id);
    void play(int button);

signals:
    void paintBBox();
    void paintHits();
    void paintAxis();
    void paintRelate();
    void paintDrummer();
    void dynaRemSignal(int id);
    void dynaAddSignal(QString file);
    void dynaReloadSignal(int id, QString file);
    void playSound(int id, int velocity);
    void sendDrum(Drum* drum);
    void updateSndIDs(int removedId);

protected:
    bool event(QEvent* e) override;

private:
    bool hitSelected() const;
    bool levelSelected() const;
    Hitpoint& hit() const;
    DynaLevel& level() const;
    float& coordinate(int axis) const;
    QSpinBox* translateSpin(int axis) const;
    void showHitpoint();
    void showNoHitpoint();
    void fillHitCombo();
    void showLevel();
    void showNoLevel();
    void setShades(int lowerWidth, int upperStart, int upperWidth);
    void setPosition(int axis, int cm);
    void movePosition(int axis, float metres);
    void releaseSound(int id);
    void applyFonts();

    void buildForm();
    void buildHitpointControls();
    void buildLevelControls();
    void buildTestButtons();
    void buildViewControls();
    void connectControls();
};

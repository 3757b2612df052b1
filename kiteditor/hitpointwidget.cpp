#include "kiteditor/hitpointwidget.h"

#include "common/dialogs.h"
#include "common/panellook.h"
#include "kiteditor/shownvalue.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <algorithm>
#include <cmath>

namespace {

constexpr const char* hitTypeNames[] = {"by end",    "by edge",       "right foot",
                                        "left foot", "hi-hat closed", "hi-hat open"};

// The velocity bar: one pixel per velocity 0..127 from x 230 of the frame.
constexpr int velocityBarX = 230;
constexpr int velocityBarY = 40;
constexpr int shadeHeight = 6;
constexpr int velocityCount = 128;

// Drags may carry a hit point far beyond what the spin boxes show (metres, not centimetres).
constexpr float dragLimit = 999.0f;

constexpr const char* divider = "Textures/vline111.bmp";
constexpr const char* logo = "Textures/logo111.bmp";

int testVelocity(int button)
{
    return 120 - 10 * button;
}

QString baseName(const QString& path)
{
    return path.mid(path.lastIndexOf('/') + 1);
}

// Truncated toward zero from the exact product: a stored 0.12f lies just below 0.12 and shows 11.
int centimetres(float metres)
{
    const double cm = double(metres) * 100.0;
    if (std::isnan(cm))
        return 0;
    return int(std::clamp(cm, -1e6, 1e6));
}

// The float nearest cm / 100 may lie just below it and show a centimetre less: then the next one
// away from zero is taken, so that a typed value keeps showing as typed.
float fromCentimetres(int cm)
{
    const float metres = float(cm / 100.0);
    if (centimetres(metres) == cm)
        return metres;
    return std::nextafter(metres, cm > 0 ? dragLimit : -dragLimit);
}

void setColour(QWidget* widget, QPalette::ColorRole role, const QColor& colour)
{
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

QFrame* makeFrame(QWidget* parent, const char* name, const QRect& geometry, int style)
{
    auto* frame = PanelLook::place(new QFrame(parent), name, geometry);
    frame->setFrameStyle(style);
    return frame;
}

QFrame* makeShade(QWidget* parent, const char* name, const QRect& geometry)
{
    QFrame* shade = makeFrame(parent, name, geometry, QFrame::Panel | QFrame::Plain);
    setColour(shade, QPalette::Window, QColor(70, 45, 20));
    setColour(shade, QPalette::WindowText, QColor(40, 25, 10));
    shade->setAutoFillBackground(true);
    return shade;
}

} // namespace

HitpointWidget::HitpointWidget(QWidget* parent, const char* name, Qt::WindowFlags flags)
    : QWidget(parent, flags), workDrum(std::make_unique<Drum>())
{
    setObjectName(name && *name ? name : "Form1");
    setWindowTitle("Form1");
    resize(600, 200);
    buildForm();
    connectControls();
}

HitpointWidget::~HitpointWidget() = default;

bool HitpointWidget::event(QEvent* e)
{
    const bool result = QWidget::event(e);
    if (e->type() == QEvent::ApplicationFontChange)
        applyFonts();
    return result;
}

void HitpointWidget::applyFonts()
{
    QFont frameFont = hitpointFrame->font();
    frameFont.setFamily("Arial");
    hitpointFrame->setFont(frameFont);
    for (QLabel* heading : {hitLabel, dynaLabel}) {
        QFont bold = heading->font();
        bold.setBold(true);
        heading->setFont(bold);
    }
}

// ---- The form -------------------------------------------------------------------------------

void HitpointWidget::buildForm()
{
    PanelLook::applyTextures(this);
    hitpointFrame =
        makeFrame(this, "hitpointWidget", {0, 0, 600, 200}, QFrame::WinPanel | QFrame::Raised);
    hitpointFrame->setFont(PanelLook::bodyFont());
    buildHitpointControls();
    buildLevelControls();
    buildTestButtons();
    buildViewControls();
}

void HitpointWidget::buildHitpointControls()
{
    using namespace PanelLook;
    QFrame* f = hitpointFrame;
    hitLabel = title(f, "hitLabel", "> Hitpoint", {10, 10, 60, 20});
    hitCombo = place(new QComboBox(f), "hitCombo", {70, 10, 120, 21});
    label(f, "hitNameLabel", "Name", {10, 35, 40, 20});
    hitNameLineEdit = place(new QLineEdit(f), "hitNameLineEdit", {70, 35, 121, 20});
    hitAddButton = button(f, "hitAddButton", "Add", {10, 65, 81, 21});
    hitRemoveButton = button(f, "hitRemoveButton", "Remove", {110, 65, 81, 21});
    label(f, "hitTypeLabel", "Type", {10, 92, 30, 21});
    hitTypeCombo = place(new QComboBox(f), "hitTypeCombo", {70, 92, 120, 21});
    QGroupBox* translate =
        group(f, "hitTranslateGroup", "Translate   X Y Z  [cm]", {10, 118, 183, 50});
    hitTranslateXSpin = spinBox(translate, "hitTranslateXSpin", {7, 20, 50, 20}, -999, 999, 0);
    hitTranslateYSpin = spinBox(translate, "hitTranslateYSpin", {67, 20, 50, 20}, -999, 999, 0);
    hitTranslateZSpin = spinBox(translate, "hitTranslateZSpin", {127, 20, 50, 20}, -999, 999, 0);
    label(f, "hitVeloLabel", "Velocity to Volume  [%]", {12, 173, 121, 21});
    hitVeloSpin = spinBox(f, "hitVeloSpin", {143, 174, 50, 20}, 0, 100, 50);
}

void HitpointWidget::buildLevelControls()
{
    using namespace PanelLook;
    QFrame* f = hitpointFrame;
    dynaLabel = title(f, "dynaLabel", "> Dynamics Level", {220, 10, 100, 21});
    dynaCombo = place(new QComboBox(f), "dynaCombo", {320, 10, 51, 21});
    etch(makeFrame(f, "dynaLevelLine", {228, 40, 132, 8}, QFrame::HLine | QFrame::Sunken));
    dynaLevelLineh = makeShade(f, "dynaLevelLineh", {357, 40, 0, 6});
    dynaLevelLinel = makeShade(f, "dynaLevelLinel", {230, 40, 0, 6});
    dynaRemoveButton = button(f, "dynaRemoveButton", "Remove", {300, 60, 70, 21});
    dynaAddButton = button(f, "dynaAddButton", "Add", {220, 60, 70, 21});
    dynaMaxveloSpin = spinBox(f, "dynaMaxveloSpin", {320, 100, 50, 20}, 1, 127, 127);
    label(f, "dynaMaxveloLabel", "Max Velocity", {230, 100, 70, 21});
    QGroupBox* sound = group(f, "soundGroup", "Sound", {220, 121, 150, 70});
    soundNameLabel = label(sound, "soundNameLabel", "File Name", {10, 18, 130, 21});
    soundNameLabel->setAlignment(Qt::AlignCenter);
    setColour(soundNameLabel, QPalette::WindowText, QColor(20, 30, 90));
    soundLoadButton = button(sound, "soundLoadButton", "Load Soundfile", {10, 40, 130, 21});
}

void HitpointWidget::buildTestButtons()
{
    using namespace PanelLook;
    QGroupBox* velo = group(hitpointFrame, "veloGroup", QString(), {380, 8, 55, 185});
    QGroupBox* box = group(velo, "GroupBox12", "GroupBox12", {2, 2, 50, 180});
    veloButtons = new QButtonGroup(box);
    veloButtons->setObjectName("GroupBox12");
    // Made top to bottom, so that the group numbers them 0 ("120") to 11 ("10").
    for (int i = 0; i < testButtons; ++i) {
        const QString velocity = QString::number(testVelocity(i));
        veloButtons->addButton(
            button(box, "velo" + velocity + "Button", velocity, {0, 15 * i, 51, 16}), i);
    }
}

void HitpointWidget::buildViewControls()
{
    using namespace PanelLook;
    QFrame* f = hitpointFrame;
    picture(f, QString(), divider, {200, 10, 6, 180});
    picture(f, QString(), divider, {447, 10, 6, 180});
    label(f, "showDrummerLabel", "Show drummer", {470, 15, 100, 21});
    showDrummerCheck = place(new QCheckBox(f), "showDrummerCheck", {575, 17, 15, 15});
    label(f, "showHitLabel", "Show Hitpoints", {470, 40, 100, 21});
    showHitCheck = place(new QCheckBox(f), "showHitCheck", {575, 42, 15, 15});
    // As the view starts in the drum-set editor: crosses shown, drummer hidden.
    showHitCheck->setChecked(true);
    QGroupBox* logoGroup = group(f, "logoGroup1", QString(), {464, 125, 126, 66});
    picture(logoGroup, QString(), logo, {3, 3, 120, 60});
}

void HitpointWidget::connectControls()
{
    connect(hitCombo, &QComboBox::activated, this, &HitpointWidget::hitSel);
    connect(hitNameLineEdit, &QLineEdit::textChanged, this, &HitpointWidget::hitName);
    connect(hitAddButton, &QPushButton::pressed, this, &HitpointWidget::hitAdd);
    connect(hitRemoveButton, &QPushButton::pressed, this, &HitpointWidget::hitRem);
    connect(hitTypeCombo, &QComboBox::activated, this, &HitpointWidget::hitTypeSel);
    connect(hitTranslateXSpin, &QSpinBox::valueChanged, this, &HitpointWidget::hitTrX);
    connect(hitTranslateYSpin, &QSpinBox::valueChanged, this, &HitpointWidget::hitTrY);
    connect(hitTranslateZSpin, &QSpinBox::valueChanged, this, &HitpointWidget::hitTrZ);
    connect(hitVeloSpin, &QSpinBox::valueChanged, this, &HitpointWidget::hitVelo);
    connect(dynaCombo, &QComboBox::activated, this, &HitpointWidget::dynaSel);
    connect(dynaRemoveButton, &QPushButton::pressed, this, &HitpointWidget::dynaRem);
    connect(dynaAddButton, &QPushButton::pressed, this, &HitpointWidget::dynaAdd);
    connect(dynaMaxveloSpin, &QSpinBox::valueChanged, this, &HitpointWidget::dynaMax);
    connect(soundLoadButton, &QPushButton::clicked, this, &HitpointWidget::dynaLoad);
    connect(veloButtons, &QButtonGroup::idPressed, this, &HitpointWidget::play);
    connect(showDrummerCheck, &QCheckBox::clicked, this, &HitpointWidget::paintDrummer);
    connect(showHitCheck, &QCheckBox::clicked, this, &HitpointWidget::paintHits);
}

// ---- The selection ---------------------------------------------------------------------------

bool HitpointWidget::hitSelected() const
{
    return drumShown && currentHit >= 0 && currentHit < int(workDrum->hitpoints.size());
}

bool HitpointWidget::levelSelected() const
{
    return hitSelected() && currentLevel >= 0 && currentLevel < int(hit().levels.size());
}

Hitpoint& HitpointWidget::hit() const
{
    return *workDrum->hitpoints[currentHit];
}

DynaLevel& HitpointWidget::level() const
{
    return *hit().levels[currentLevel];
}

float& HitpointWidget::coordinate(int axis) const
{
    Hitpoint& h = hit();
    return axis == 0 ? h.x : axis == 1 ? h.y : h.z;
}

QSpinBox* HitpointWidget::translateSpin(int axis) const
{
    return axis == 0 ? hitTranslateXSpin : axis == 1 ? hitTranslateYSpin : hitTranslateZSpin;
}

// ---- Receiving a drum and refreshing ----------------------------------------------------------

void HitpointWidget::recvDrum(Drum* drum)
{
    if (!drum)
        return;
    workDrum = std::make_unique<Drum>(*drum);
    drumShown = true;
    currentHit = workDrum->hitpoints.empty() ? -1 : 0;
    updateAll();
}

void HitpointWidget::isDrumSlot(bool shown)
{
    drumShown = shown;
    updateAll();
}

// Setting a control's value reports it like an edit, which stores it back and may refresh again:
// each step reads the working copy anew.
void HitpointWidget::updateAll()
{
    hitCombo->clear();
    hitTypeCombo->clear();
    if (hitSelected())
        showHitpoint();
    else
        showNoHitpoint();
    updatePos();
    updateLevels();
}

void HitpointWidget::showHitpoint()
{
    currentLevel = 0;
    fillHitCombo();
    hitNameLineEdit->setText(hit().name);
    for (const char* name : hitTypeNames)
        hitTypeCombo->addItem(name);
    hitTypeCombo->setCurrentIndex(hit().hitType);
    hitVeloSpin->setValue(hit().veloToVol);
}

void HitpointWidget::showNoHitpoint()
{
    workDrum = std::make_unique<Drum>();
    hitCombo->addItem(drumShown ? "- Empty -" : "- No drum -");
    currentLevel = -1;
    hitNameLineEdit->setText(QString());
    hitVeloSpin->setValue(0);
}

void HitpointWidget::fillHitCombo()
{
    hitCombo->clear();
    const auto& hitpoints = workDrum->hitpoints;
    for (size_t k = 0; k < hitpoints.size(); ++k) {
        hitCombo->addItem(hitpoints[k]->name);
        hitpoints[k]->selected = int(k) == currentHit;
    }
    hitCombo->setCurrentIndex(currentHit);
}

void HitpointWidget::updatePos()
{
    for (int axis = 0; axis < 3; ++axis)
        translateSpin(axis)->setValue(hitSelected() ? centimetres(coordinate(axis)) : 0);
}

void HitpointWidget::updateLevels()
{
    dynaCombo->clear();
    if (levelSelected())
        showLevel();
    else
        showNoLevel();
}

void HitpointWidget::showLevel()
{
    for (size_t k = 0; k < hit().levels.size(); ++k)
        dynaCombo->addItem(QString::number(k));
    dynaCombo->setCurrentIndex(currentLevel);
    const DynaLevel& shown = level();
    soundNameLabel->setText(shown.sndID >= 0 ? baseName(shown.file) : " - no sound - ");
    const int minVelo = std::clamp(shown.minVelo, 0, velocityCount);
    const int maxVelo = std::clamp(shown.maxVelo, 0, velocityCount);
    setShades(minVelo, maxVelo, velocityCount - maxVelo);
    dynaMaxveloSpin->setValue(shown.maxVelo);
}

void HitpointWidget::showNoLevel()
{
    setShades(0, velocityCount - 1, 0);
    soundNameLabel->setText(QString());
    dynaMaxveloSpin->setValue(0);
}

void HitpointWidget::setShades(int lowerWidth, int upperStart, int upperWidth)
{
    dynaLevelLinel->setGeometry(velocityBarX, velocityBarY, lowerWidth, shadeHeight);
    dynaLevelLineh->setGeometry(velocityBarX + upperStart, velocityBarY, upperWidth, shadeHeight);
}

// ---- Hit points -------------------------------------------------------------------------------

void HitpointWidget::hitSel(int index)
{
    if (!hitSelected() || index < 0 || index >= int(workDrum->hitpoints.size()))
        return;
    currentHit = index;
    updateAll();
}

void HitpointWidget::hitName(const QString& text)
{
    if (!hitSelected()) {
        hitNameLineEdit->backspace();
        return;
    }
    hit().name = text;
    fillHitCombo();
    emit sendDrum(workDrum.get());
}

void HitpointWidget::hitAdd()
{
    if (!drumShown)
        return;
    auto& hitpoints = workDrum->hitpoints;
    hitpoints.push_back(std::make_shared<Hitpoint>());
    currentHit = int(hitpoints.size()) - 1;
    hitpoints.back()->name = QString::number(currentHit);
    updateAll();
    emit sendDrum(workDrum.get());
}

void HitpointWidget::hitRem()
{
    if (!hitSelected())
        return;
    // Each release renumbers the kit's sounds, and the drum-set panel answers with a new copy of
    // its drum: go on with the same hit point in whichever copy is current.
    const int removed = currentHit;
    auto hitCount = [this] { return int(workDrum->hitpoints.size()); };
    for (int k = 0; removed < hitCount() && k < int(workDrum->hitpoints[removed]->levels.size());
         ++k)
        releaseSound(workDrum->hitpoints[removed]->levels[k]->sndID);
    if (removed < hitCount())
        workDrum->hitpoints.erase(workDrum->hitpoints.begin() + removed);
    currentHit = hitCount() - 1;
    updateAll();
    emit sendDrum(workDrum.get());
}

void HitpointWidget::releaseSound(int id)
{
    if (id < 0)
        return;
    emit dynaRemSignal(id);
    emit updateSndIDs(id);
}

void HitpointWidget::hitTypeSel(int type)
{
    if (!hitSelected())
        return;
    hit().hitType = type;
    emit sendDrum(workDrum.get());
}

void HitpointWidget::hitTrX(int cm)
{
    setPosition(0, cm);
}

void HitpointWidget::hitTrY(int cm)
{
    setPosition(1, cm);
}

void HitpointWidget::hitTrZ(int cm)
{
    setPosition(2, cm);
}

void HitpointWidget::setPosition(int axis, int cm)
{
    if (!hitSelected()) {
        updatePos();
        return;
    }
    // A value that only shows the stored position changes nothing: storing it back would move
    // the point by a centimetre at each refresh.
    if (!showsStored(translateSpin(axis), centimetres(coordinate(axis)), cm))
        coordinate(axis) = fromCentimetres(cm);
    emit sendDrum(workDrum.get());
}

void HitpointWidget::posX(float metres)
{
    movePosition(0, metres);
}

void HitpointWidget::posY(float metres)
{
    movePosition(1, metres);
}

void HitpointWidget::posZ(float metres)
{
    movePosition(2, metres);
}

void HitpointWidget::movePosition(int axis, float metres)
{
    if (!hitSelected()) {
        updatePos();
        return;
    }
    float& c = coordinate(axis);
    c = std::clamp(c + metres, -dragLimit, dragLimit);
    updatePos();
    emit sendDrum(workDrum.get());
}

void HitpointWidget::hitVelo(int percent)
{
    if (hitSelected()) {
        // A percentage from a file beyond the spin box's range stays as it is while shown.
        if (!showsStored(hitVeloSpin, hit().veloToVol, percent))
            hit().veloToVol = percent;
        emit sendDrum(workDrum.get());
    }
    updateAll();
}

// ---- Dynamics levels ---------------------------------------------------------------------------

void HitpointWidget::dynaSel(int index)
{
    if (!levelSelected() || index < 0 || index >= int(hit().levels.size()))
        return;
    currentLevel = index;
    updateLevels();
}

void HitpointWidget::dynaAdd()
{
    if (!levelSelected())
        return;
    auto& levels = hit().levels;
    DynaLevel& last = *levels.back();
    const int maxVelo = last.maxVelo / 3 * 2;
    hit().addDynaLevel(QString(), -1, maxVelo, 0);
    last.minVelo = maxVelo + 1;
    currentLevel = int(levels.size()) - 1;
    updateLevels();
    emit sendDrum(workDrum.get());
}

void HitpointWidget::dynaRem()
{
    if (!levelSelected() || currentLevel == 0)
        return;
    auto& levels = hit().levels;
    const int removed = currentLevel;
    // The removed range goes to the level above.
    const bool last = removed == int(levels.size()) - 1;
    levels[removed - 1]->minVelo = last ? 0 : levels[removed + 1]->maxVelo + 1;
    const int id = levels[removed]->sndID;
    if (id >= 0)
        emit dynaRemSignal(id);
    levels.erase(levels.begin() + removed);
    currentLevel = 0;
    updateLevels();
    emit sendDrum(workDrum.get());
    if (id >= 0)
        emit updateSndIDs(id);
}

void HitpointWidget::dynaMax(int velocity)
{
    if (!hitSelected()) {
        updateLevels();
        return;
    }
    // As with positions, a value that only shows the stored maximum changes nothing.
    const bool edited =
        !showsStored(dynaMaxveloSpin, levelSelected() ? level().maxVelo : 0, velocity);
    if (levelSelected() && currentLevel > 0 && edited) {
        DynaLevel& shown = level();
        DynaLevel& above = *hit().levels[currentLevel - 1];
        if (velocity > 0 && velocity < 128 && velocity > shown.minVelo &&
            velocity < above.maxVelo - 1) {
            shown.maxVelo = velocity;
            above.minVelo = velocity + 1;
        }
    }
    emit sendDrum(workDrum.get());
    updateLevels();
}

void HitpointWidget::dynaLoad()
{
    if (!levelSelected())
        return;
    const bool reload = level().sndID >= 0;
    const QString path = Dialogs::getOpenFileName(nullptr, QString(), "*.wav;;*.mp3",
                                                  reload ? QString() : QString("Load sound"));
    if (!path.isEmpty() && levelSelected()) {
        level().file = path;
        if (reload)
            emit dynaReloadSignal(level().sndID, path);
        else
            emit dynaAddSignal(path);
    }
    emit sendDrum(workDrum.get());
    updateLevels();
}

void HitpointWidget::recvSndID(int id)
{
    if (levelSelected())
        level().sndID = id;
}

// ---- Test playing -----------------------------------------------------------------------------

void HitpointWidget::play(int button)
{
    if (!hitSelected() || button < 0 || button >= testButtons)
        return;
    const Hitpoint& h = hit();
    const int velocity = testVelocity(button);
    const int volume = 128 - button * std::clamp(h.veloToVol, 0, 100) / 10;
    std::vector<int> sounds;
    for (const auto& level : h.levels)
        if (level->minVelo <= velocity && velocity <= level->maxVelo && level->sndID >= 0)
            sounds.push_back(level->sndID);
    for (int id : sounds)
        emit playSound(id, volume);
}

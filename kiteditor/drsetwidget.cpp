#include "kiteditor/drsetwidget.h"

#include "common/dialogs.h"
#include "common/panellook.h"
#include "common/popupmenu.h"
#include "kit/bodytypes.h"
#include "kit/drumsetfile.h"
#include "kiteditor/shownvalue.h"

#include <QComboBox>
#include <QEvent>
#include <QFileInfo>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>

using namespace BodyTypes;

namespace {

using Permission = bool Drum::*;
constexpr Permission translatable[3] = {&Drum::trX, &Drum::trY, &Drum::trZ};
constexpr Permission rotatable[3] = {&Drum::roX, &Drum::roY, &Drum::roZ};

const std::vector<int> rootChildTypes = {Kick, SnareRamp, FloorTomRamp, HiHatStand,
                                         CrashRampBottom};
const std::vector<int> toms = {Tom8, Tom10, Tom12, Tom13, Tom14};
const std::vector<int> cymbals = {Crash16, Crash17, Crash18, Crash19,
                                  Ride20,  Ride21,  Splash8, Splash10};

bool isCymbal(int type)
{
    return std::find(cymbals.begin(), cymbals.end(), type) != cymbals.end();
}

std::vector<int> childTypes(const Drum* parent)
{
    if (!parent)
        return rootChildTypes;
    switch (parent->type) {
    case Kick:
        return {TomRampMono, TomRampDouble};
    case SnareRamp:
        return {Snare};
    case TomRampMono:
    case TomRampDouble:
        return toms;
    case FloorTomRamp:
        return {FloorTom};
    case HiHatStand:
        return {HiHat};
    case CrashRampBottom:
        return {CrashRampMiddle};
    case CrashRampMiddle:
        return {CrashRampTop};
    case CrashRampTop:
        return cymbals;
    default:
        return {};
    }
}

// The types a drum may change into: its family, or its own type alone.
std::vector<int> typeFamily(int type)
{
    if (isTom(type))
        return toms;
    if (isCymbal(type))
        return cymbals;
    if (type == Chair)
        return {};
    return {type};
}

// Where a new drum sits on its parent (metres).
void placeNewDrum(Drum& drum, const Drum* parent)
{
    float* t = drum.translation;
    if (isTom(drum.type)) {
        if (parent && parent->type == TomRampDouble) {
            t[0] = parent->children.size() == 1 ? -0.15f : 0.15f;
            t[1] = 0.35f;
        } else {
            t[1] = 0.3f;
        }
        return;
    }
    if (isCymbal(drum.type)) {
        t[1] = 0.05f;
        return;
    }
    switch (drum.type) {
    case Snare:
        t[1] = 0.55f;
        break;
    case FloorTom:
        t[1] = 0.25f;
        break;
    case HiHat:
        t[1] = 0.8f;
        break;
    case SnareRamp:
    case FloorTomRamp:
    case HiHatStand:
    case CrashRampBottom:
        t[2] = 1.0f;
        break;
    case TomRampMono:
    case TomRampDouble:
        t[1] = 0.55f;
        t[2] = 0.2f;
        break;
    case CrashRampMiddle:
        t[1] = 0.87f;
        break;
    case CrashRampTop:
        t[2] = 0.3f;
        break;
    default:
        break;
    }
}

// Truncated toward zero; values a file may hold beyond any spin box stay far outside its range.
int truncated(double value)
{
    if (std::isnan(value))
        return 0;
    return int(std::clamp(value, -1e6, 1e6));
}

// A whole centimetre stored in single precision may lie a hair below itself (-9.98 m is
// -997.99994 cm): within a hundredth of a millimetre it still shows as that centimetre.
int centimetres(float metres)
{
    const double cm = double(metres) * 100.0;
    return truncated(cm + std::copysign(1e-3, cm));
}

// Keeps the mouse away from the panel while a kit is read or written.
class MouseGrab
{
public:
    explicit MouseGrab(QWidget* widget) : widget(widget->isVisible() ? widget : nullptr)
    {
        if (this->widget)
            this->widget->grabMouse();
    }
    ~MouseGrab()
    {
        if (widget)
            widget->releaseMouse();
    }
    MouseGrab(const MouseGrab&) = delete;
    MouseGrab& operator=(const MouseGrab&) = delete;

private:
    QWidget* widget;
};

QSpinBox* makeSpinBox(QWidget* parent, const char* name, int x, int limit)
{
    return PanelLook::spinBox(parent, name, QRect(x, 20, 50, 20), -limit, limit, 0);
}

QGroupBox* makeGroup(QWidget* parent, const char* name, const QString& title, int y)
{
    return PanelLook::group(parent, name, title, QRect(10, y, 183, 50));
}

QLabel* makeLock(QWidget* parent, const char* name, int x, int y)
{
    QLabel* lock = PanelLook::picture(parent, name, "Textures/lock111.bmp", QRect(x, y, 10, 10));
    lock->hide();
    return lock;
}

} // namespace

DrsetWidget::DrsetWidget(QWidget* parent, const char* name, Qt::WindowFlags flags)
    : QWidget(parent, flags)
{
    setObjectName(name && *name ? name : "Form1");
    setWindowTitle("Form1");
    resize(195, 600);
    buildForm();
    connectForm();
    menuTypes = rootChildTypes;
}

DrsetWidget::~DrsetWidget() = default;

void DrsetWidget::buildForm()
{
    using namespace PanelLook;
    PanelLook::applyTextures(this);
    drsetWidget = place(new QFrame(this), "drsetWidget", QRect(0, 0, 200, 600));
    drsetWidget->setFrameShape(QFrame::WinPanel);
    drsetWidget->setFrameShadow(QFrame::Raised);
    QWidget* f = drsetWidget; // every widget of the form lies in the frame

    drsetLabel = title(f, "drsetLabel", "Drumset", QRect(10, 9, 100, 20), 10);
    drsetNewButton = button(f, "drsetNewButton", "New", QRect(70, 7, 40, 21));
    drsetLoadButton = button(f, "drsetLoadButton", "Load", QRect(110, 7, 40, 21));
    drsetSaveButton = button(f, "drsetSaveButton", "Save", QRect(150, 7, 40, 21));
    drsetNameLabel = label(f, "drsetNameLabel", "Name", QRect(10, 32, 30, 21));
    drsetNameLineEdit = place(new QLineEdit(f), "drsetNameLineEdit", QRect(40, 32, 150, 20));
    drsetInfoLabel = label(f, "drsetInfoLabel", " Info", QRect(10, 57, 30, 21));
    drsetInfoLineEdit = place(new QLineEdit(f), "drsetInfoLineEdit", QRect(40, 57, 150, 20));
    drsetVersionLabel = label(f, "drsetVersionLabel", "Version", QRect(10, 82, 40, 21));
    drsetVersionLineEdit = place(new QLineEdit(f), "drsetVersionLineEdit", QRect(50, 82, 130, 20));
    drsetLine1 = picture(f, "drsetLine1", "Textures/hline111.bmp", QRect(10, 110, 181, 20));

    drumLabel = title(f, "drumLabel", "Drum", QRect(10, 135, 50, 21), 10);
    drumAddButton = button(f, "drumAddButton", "Add child", QRect(50, 135, 70, 21));
    drumRemoveButton = button(f, "drumRemoveButton", "Remove", QRect(120, 135, 70, 21));
    drumSelLabel = label(f, "drumSelLabel", "Part to edit", QRect(15, 165, 180, 20));
    drumList = place(new QListWidget(f), "drumList", QRect(10, 190, 180, 160));
    drumBodyLabel = label(f, "drumBodyLabel", "Type of Body", QRect(15, 355, 180, 21));
    drumBodyCombo = place(new QComboBox(f), "drumBodyCombo", QRect(10, 380, 180, 21));
    priorLabel = label(f, "priorLabel", "Left            Hand Priority            Right",
                       QRect(15, 415, 175, 21));
    priorSlider = place(new QSlider(Qt::Horizontal, f), "priorSlider", QRect(20, 440, 160, 20));
    priorSlider->setRange(-3, 3);
    priorSlider->setPageStep(1);
    priorSlider->setValue(0);

    drumTranslateGroup = makeGroup(f, "drumTranslateGroup", "Translate   X Y Z  [cm]", 470);
    drumTranslateXSpin = makeSpinBox(drumTranslateGroup, "drumTranslateXSpin", 7, 999);
    drumTranslateYSpin = makeSpinBox(drumTranslateGroup, "drumTranslateYSpin", 67, 999);
    drumTranslateZSpin = makeSpinBox(drumTranslateGroup, "drumTranslateZSpin", 127, 999);
    drumRotateGroup = makeGroup(f, "drumRotateGroup", "Rotate -Axis X Y Z [deg]", 530);
    drumRotateXSpin = makeSpinBox(drumRotateGroup, "drumRotateXSpin", 7, 180);
    drumRotateYSpin = makeSpinBox(drumRotateGroup, "drumRotateYSpin", 67, 180);
    drumRotateZSpin = makeSpinBox(drumRotateGroup, "drumRotateZSpin", 127, 180);
    // Made after the group boxes, so that they lie over the spin boxes.
    lockTrX = makeLock(f, "lockTrX", 45, 494);
    lockTrY = makeLock(f, "lockTrY", 105, 494);
    lockTrZ = makeLock(f, "lockTrZ", 165, 494);
    lockRoX = makeLock(f, "lockRoX", 45, 554);
    lockRoY = makeLock(f, "lockRoY", 105, 554);
    lockRoZ = makeLock(f, "lockRoZ", 165, 554);

    addChildMenu = new PopupMenu(this);
    noChildrenMenu = new PopupMenu(this);
    noChildrenMenu->insertItem("- no children possible -", 0);
    noOtherChildrenMenu = new PopupMenu(this);
    noOtherChildrenMenu->insertItem("- no other children possible -", 0);

    // The priority scale's spread-out text needs a little less to show its "Right".
    drsetWidget->setFont(bodyFont());
    QFont scale = bodyFont();
    scale.setPointSizeF(7.5);
    priorLabel->setFont(scale);
    applyFonts(10);
}

void DrsetWidget::connectForm()
{
    connect(addChildMenu, &PopupMenu::activated, this, &DrsetWidget::drAdd);
    // Before the button gets its menu: the menu it shows on a press is the one set here.
    connect(drumAddButton, &QPushButton::pressed, this, &DrsetWidget::setMenu);
    drumAddButton->setMenu(addChildMenu);
    connect(drsetNewButton, &QPushButton::clicked, this, &DrsetWidget::drsetNew);
    connect(drsetSaveButton, &QPushButton::clicked, this, &DrsetWidget::drsetSave);
    connect(drsetLoadButton, &QPushButton::clicked, this, &DrsetWidget::drsetLoad);
    connect(drsetNameLineEdit, &QLineEdit::textChanged, this, &DrsetWidget::drsetName);
    connect(drsetInfoLineEdit, &QLineEdit::textChanged, this, &DrsetWidget::drsetInfo);
    connect(drsetVersionLineEdit, &QLineEdit::textChanged, this, &DrsetWidget::drsetVersion);
    connect(drumRemoveButton, &QPushButton::pressed, this, &DrsetWidget::drRem);
    connect(drumList, &QListWidget::currentRowChanged, this, &DrsetWidget::drSel);
    connect(drumBodyCombo, &QComboBox::activated, this, &DrsetWidget::drTypeSel);
    connect(drumTranslateXSpin, &QSpinBox::valueChanged, this, &DrsetWidget::drTrX);
    connect(drumTranslateYSpin, &QSpinBox::valueChanged, this, &DrsetWidget::drTrY);
    connect(drumTranslateZSpin, &QSpinBox::valueChanged, this, &DrsetWidget::drTrZ);
    connect(drumRotateXSpin, &QSpinBox::valueChanged, this, &DrsetWidget::drRoX);
    connect(drumRotateYSpin, &QSpinBox::valueChanged, this, &DrsetWidget::drRoY);
    connect(drumRotateZSpin, &QSpinBox::valueChanged, this, &DrsetWidget::drRoZ);
    connect(priorSlider, &QSlider::valueChanged, this, &DrsetWidget::priorSlot);
}

void DrsetWidget::applyFonts(int titlePoints)
{
    QFont frameFont = drsetWidget->font();
    frameFont.setFamily("Arial");
    drsetWidget->setFont(frameFont);
    drsetLabel->setFont(PanelLook::titleFont(titlePoints));
    QFont bold = drumLabel->font();
    bold.setBold(true);
    drumLabel->setFont(bold);
}

bool DrsetWidget::event(QEvent* e)
{
    const bool result = QWidget::event(e);
    if (e->type() == QEvent::ApplicationFontChange)
        applyFonts(12);
    return result;
}

QString DrsetWidget::typeName(int type) const
{
    return typeNames.value(type);
}

Drum* DrsetWidget::selectedDrum() const
{
    if (currentDrum < 0 || currentDrum >= int(drumSet.allDrums.size()))
        return nullptr;
    return drumSet.allDrums[currentDrum];
}

void DrsetWidget::drsetNew()
{
    emit soundClear();
    soundCounter = 0;
    drumSet = DrumSet();
    currentDrum = -1;
    updateAll();
    setMenu();
}

void DrsetWidget::drsetLoad()
{
    const QString path = Dialogs::getOpenFileName(this, QString(), "*.set", "Load drumset");
    // Only a file that opens as a kit replaces the kit; a pipe or a folder is not even read.
    std::optional<DrumSetReader> reader;
    if (!path.isEmpty() && QFileInfo(path).isFile())
        reader.emplace(path, soundCounter, drumCounter,
                       [this](const QString& file) { emit addSound(file); });
    if (reader && reader->opensAsKit()) {
        const MouseGrab grab(this);
        emit soundClear();
        soundCounter = 0;
        drumSet = DrumSet();
        emit isDrum(false);
        reader->read(drumSet);
    } else if (!path.isEmpty()) {
        Dialogs::about(this, "Cannot load file", path);
    }
    currentDrum = -1;
    updateAll();
    setMenu();
}

void DrsetWidget::drsetSave()
{
    QString path = Dialogs::getSaveFileName(this, QString(), "*.set", "Save drumset");
    if (path.isEmpty())
        return;
    path = DrumSetFile::withExtension(path);
    bool saved = false;
    {
        const MouseGrab grab(this);
        saved = DrumSetFile::write(drumSet, path);
    }
    if (!saved)
        Dialogs::about(this, "Cannot save file", path);
}

void DrsetWidget::drsetName(const QString& text)
{
    drumSet.name = text;
}

void DrsetWidget::drsetInfo(const QString& text)
{
    drumSet.info = text;
}

void DrsetWidget::drsetVersion(const QString& text)
{
    drumSet.version = text;
}

void DrsetWidget::drSel(int row)
{
    if (drumSet.rootDrums.empty() || row < 0 || row > int(rowDrums.size()))
        return;
    currentDrum = row == 0 ? -1 : rowDrums[row - 1];
    setMenu();
    updateWoDrumList();
}

void DrsetWidget::drAdd(int menuId)
{
    if (menuId < 0 || menuId >= int(menuTypes.size()))
        return;
    Drum* parent = selectedDrum();
    auto* drum = new Drum();
    if (parent) {
        drumSet.addDrum(drum);
        parent->addChild(drum);
    } else {
        drumSet.addRootDrum(drum);
    }
    drum->type = menuTypes[menuId];
    drum->name = typeName(drum->type);
    placeNewDrum(*drum, parent);
    currentDrum = drum->id = int(drumSet.allDrums.size()) - 1;
    drum->setupType();
    drum->addDefaultHitpoints();
    updateAll();
}

void DrsetWidget::setMenu()
{
    addChildMenu->clear();
    const Drum* drum = selectedDrum();
    menuTypes = childTypes(drum);
    for (std::size_t i = 0; i < menuTypes.size(); ++i)
        addChildMenu->insertItem(typeName(menuTypes[i]), int(i));
    PopupMenu* menu = addChildMenu;
    if (drum && !drum->canHaveChildren)
        menu = noChildrenMenu;
    else if (drum && int(drum->children.size()) >= drum->maxChildren)
        menu = noOtherChildrenMenu;
    drumAddButton->setMenu(menu);
}

void DrsetWidget::drRem()
{
    Drum* drum = selectedDrum();
    if (!drum)
        return;
    // The drum shown in the row above takes the selection; rows above never belong to the
    // removed subtree.
    const auto row = std::find(rowDrums.begin(), rowDrums.end(), currentDrum);
    const Drum* above = nullptr;
    if (row != rowDrums.end() && row != rowDrums.begin() &&
        *(row - 1) < int(drumSet.allDrums.size()))
        above = drumSet.allDrums[*(row - 1)];

    unlink(*drum);
    releaseSounds(*drum);
    dropRemovedDrums();
    currentDrum = above ? above->id : -1;
    updateAll();
    setMenu();
}

Drum* DrsetWidget::parentOf(const Drum& drum) const
{
    for (Drum* candidate : drumSet.allDrums) {
        const auto& children = candidate->children;
        if (std::find(children.begin(), children.end(), &drum) != children.end())
            return candidate;
    }
    return nullptr;
}

void DrsetWidget::unlink(Drum& drum)
{
    auto& roots = drumSet.rootDrums;
    const auto root = std::find_if(roots.begin(), roots.end(),
                                   [&drum](const auto& r) { return r.get() == &drum; });
    if (root != roots.end()) {
        removedDrums.push_back(*root);
        roots.erase(root);
    } else if (Drum* parent = parentOf(drum)) {
        auto& siblings = parent->children;
        siblings.erase(std::find(siblings.begin(), siblings.end(), &drum));
        removedDrums.emplace_back(&drum);
    }
}

// Children first, then the drum's own levels: each release shifts the engine's later sounds
// down by one, and the kit's identifiers follow before the next release. A release sends the
// selected drum to the hit-point panel, which may hand its hit points back as new copies: the
// list is read anew at every step.
void DrsetWidget::releaseSounds(Drum& drum)
{
    for (Node* child : drum.children)
        releaseSounds(static_cast<Drum&>(*child));
    const auto& hitpoints = drum.hitpoints;
    for (std::size_t h = 0; h < hitpoints.size(); ++h) {
        for (std::size_t l = 0; h < hitpoints.size() && l < hitpoints[h]->levels.size(); ++l) {
            const int id = hitpoints[h]->levels[l]->sndID;
            if (id < 0)
                continue;
            emit removeSound(id);
            updateLevels(id);
        }
    }
    drum.id = -1;
}

void DrsetWidget::dropRemovedDrums()
{
    auto& all = drumSet.allDrums;
    all.erase(std::remove_if(all.begin(), all.end(), [](const Drum* d) { return d->id == -1; }),
              all.end());
    for (std::size_t i = 0; i < all.size(); ++i)
        all[i]->id = int(i);
}

void DrsetWidget::drLoad() {}

void DrsetWidget::drSave() {}

void DrsetWidget::drTypeSel(int index)
{
    Drum* drum = selectedDrum();
    if (!drum || index < 0 || index >= int(comboTypes.size()) || comboTypes[index] == drum->type)
        return;
    // The drum keeps its permissions, children limits, priority and animation kind.
    drum->type = comboTypes[index];
    drum->name = drumBodyCombo->currentText();
    drum->hitpoints.clear();
    drum->addDefaultHitpoints();
    updateAll();
}

float* DrsetWidget::editedTranslation(int axis)
{
    Drum* drum = selectedDrum();
    if (!drum)
        return drumSet.translation;
    return drum->*translatable[axis] ? drum->translation : nullptr;
}

float* DrsetWidget::editedRotation(int axis)
{
    Drum* drum = selectedDrum();
    if (!drum)
        return drumSet.rotation;
    return drum->*rotatable[axis] ? drum->rotation : nullptr;
}

// A value that only shows the stored one changes nothing, so that a kit is not changed by being
// looked at; a locked axis takes no value and shows the stored one again.
void DrsetWidget::setTranslation(int axis, int cm)
{
    if (float* translation = editedTranslation(axis)) {
        if (!showsStored(translationSpin(axis), centimetres(translation[axis]), cm))
            translation[axis] = float(cm) / 100.0f;
    } else {
        updateGeometry();
    }
    emit sendSet(&drumSet);
}

void DrsetWidget::setRotation(int axis, int degrees)
{
    if (float* rotation = editedRotation(axis)) {
        if (!showsStored(rotationSpin(axis), truncated(rotation[axis]), degrees))
            rotation[axis] = float(degrees);
    } else {
        updateGeometry();
    }
    emit sendSet(&drumSet);
}

QSpinBox* DrsetWidget::translationSpin(int axis) const
{
    QSpinBox* const spins[3] = {drumTranslateXSpin, drumTranslateYSpin, drumTranslateZSpin};
    return spins[axis];
}

QSpinBox* DrsetWidget::rotationSpin(int axis) const
{
    QSpinBox* const spins[3] = {drumRotateXSpin, drumRotateYSpin, drumRotateZSpin};
    return spins[axis];
}

void DrsetWidget::drTrX(int cm)
{
    setTranslation(0, cm);
}

void DrsetWidget::drTrY(int cm)
{
    setTranslation(1, cm);
}

void DrsetWidget::drTrZ(int cm)
{
    setTranslation(2, cm);
}

void DrsetWidget::drRoX(int degrees)
{
    setRotation(0, degrees);
}

void DrsetWidget::drRoY(int degrees)
{
    setRotation(1, degrees);
}

void DrsetWidget::drRoZ(int degrees)
{
    setRotation(2, degrees);
}

void DrsetWidget::turnBy(int axis, float degrees)
{
    Drum* drum = selectedDrum();
    if (drum && drum->*rotatable[axis]) {
        // Past a bound the angle jumps to the other one.
        float& angle = drum->rotation[axis];
        angle += degrees;
        if (angle > 180)
            angle = -180;
        else if (angle < -180)
            angle = 180;
    }
    updateGeometry();
    emit sendSet(&drumSet);
}

void DrsetWidget::moveBy(int axis, float metres)
{
    if (float* translation = editedTranslation(axis))
        translation[axis] = std::clamp(translation[axis] + metres, -999.0f, 999.0f);
    updateGeometry();
    emit sendSet(&drumSet);
}

void DrsetWidget::rotX(float degrees)
{
    turnBy(0, degrees);
}

void DrsetWidget::rotY(float degrees)
{
    turnBy(1, degrees);
}

void DrsetWidget::rotZ(float degrees)
{
    turnBy(2, degrees);
}

void DrsetWidget::posX(float metres)
{
    moveBy(0, metres);
}

void DrsetWidget::posY(float metres)
{
    moveBy(1, metres);
}

void DrsetWidget::posZ(float metres)
{
    moveBy(2, metres);
}

void DrsetWidget::priorSlot(int priority)
{
    Drum* drum = selectedDrum();
    if (drum && !showsStored(priorSlider, drum->priority, priority))
        drum->priority = priority;
}

void DrsetWidget::updateLevels(int removedId)
{
    for (Drum* drum : drumSet.allDrums)
        for (const auto& hitpoint : drum->hitpoints)
            for (const auto& level : hitpoint->levels)
                if (level->sndID > removedId)
                    --level->sndID;
    if (Drum* drum = selectedDrum())
        emit sendDrum(drum);
}

void DrsetWidget::recvDrum(Drum* received)
{
    Drum* drum = selectedDrum();
    if (!drum || !received)
        return;
    std::vector<std::shared_ptr<Hitpoint>> copies;
    for (const auto& hitpoint : received->hitpoints)
        copies.push_back(std::make_shared<Hitpoint>(*hitpoint));
    drum->hitpoints = std::move(copies);
    emit sendSet(&drumSet);
}

void DrsetWidget::updateAll()
{
    if (!selectedDrum())
        currentDrum = -1;
    {
        // Rebuilding must not select anything.
        const QSignalBlocker quiet(drumList);
        rowDrums.clear();
        drumList->clear();
        drumList->addItem("- root -");
        listRow = 1;
        for (const auto& root : drumSet.rootDrums) {
            appendRow(*root, "  |>  " + typeName(root->type));
            listChildren(*root, 1);
        }
        if (currentDrum == -1)
            drumList->setCurrentRow(0);
    }
    updateWoDrumList();
}

void DrsetWidget::appendRow(const Drum& drum, const QString& text)
{
    drumList->addItem(text);
    rowDrums.push_back(drum.id);
    if (drum.id == currentDrum)
        drumList->setCurrentRow(listRow);
    ++listRow;
}

void DrsetWidget::listChildren(const Drum& drum, int depth)
{
    const QString indent = "  |   " + QString("      ").repeated(depth - 1) + "  |_  ";
    for (const Node* node : drum.children) {
        const auto& child = static_cast<const Drum&>(*node);
        appendRow(child, indent + typeName(child.type));
        listChildren(child, depth + 1);
    }
}

void DrsetWidget::fillTypeCombo(const Drum& drum)
{
    comboTypes = typeFamily(drum.type);
    for (std::size_t i = 0; i < comboTypes.size(); ++i) {
        drumBodyCombo->addItem(typeName(comboTypes[i]));
        if (comboTypes[i] == drum.type)
            drumBodyCombo->setCurrentIndex(int(i));
    }
}

void DrsetWidget::updateWoDrumList()
{
    // Long texts show from their start.
    for (auto [edit, text] :
         {std::pair{drsetNameLineEdit, drumSet.name}, std::pair{drsetInfoLineEdit, drumSet.info},
          std::pair{drsetVersionLineEdit, drumSet.version}}) {
        edit->setText(text);
        edit->setCursorPosition(0);
    }

    drumBodyCombo->clear();
    comboTypes.clear();
    Drum* drum = selectedDrum();
    if (drum) {
        fillTypeCombo(*drum);
        priorSlider->setValue(drum->priority);
    } else {
        priorSlider->setValue(0);
    }
    updateGeometry();

    for (std::size_t i = 0; i < drumSet.allDrums.size(); ++i)
        drumSet.allDrums[i]->selected = int(i) == currentDrum;
    emit sendSet(&drumSet);
    // Stands and holders, the hi-hat stand among them, have nothing for the hit-point panel.
    if (drum && !isStand(drum->type))
        emit sendDrum(drum);
    else
        emit isDrum(false);
}

// Each value set is reported by the spin box like an edit; its slot knows it for a refresh.
void DrsetWidget::updateGeometry()
{
    const Drum* drum = selectedDrum();
    const float* translation = drum ? drum->translation : drumSet.translation;
    const float* rotation = drum ? drum->rotation : drumSet.rotation;
    QLabel* const translationLocks[3] = {lockTrX, lockTrY, lockTrZ};
    QLabel* const rotationLocks[3] = {lockRoX, lockRoY, lockRoZ};
    for (int axis = 0; axis < 3; ++axis)
        translationSpin(axis)->setValue(centimetres(translation[axis]));
    for (int axis = 0; axis < 3; ++axis)
        rotationSpin(axis)->setValue(truncated(rotation[axis]));
    for (int axis = 0; axis < 3; ++axis) {
        translationLocks[axis]->setVisible(drum && !(drum->*translatable[axis]));
        rotationLocks[axis]->setVisible(drum && !(drum->*rotatable[axis]));
    }
}

void DrsetWidget::recvSet(DrumSet* set)
{
    drumSet = set ? *set : DrumSet();
    updateAll();
}

#include "songeditor/dreditwidget.h"

#include "common/dialogs.h"
#include "common/panellook.h"
#include "kit/bodytypes.h"
#include "kit/drumsetfile.h"
#include "playback/beattiming.h"

#include <QComboBox>
#include <QEvent>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QLCDNumber>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <algorithm>
#include <cmath>

namespace {

// Lengths outside 1..32 (a damaged song file) must not let the step leave a track's cells.
int playedLength(const Pattern& pattern)
{
    return std::clamp(pattern.length, 1, Pattern::maxLength);
}

// Only offsets that fit an int are truncated; anything else (NaN, huge values from a damaged
// file) counts as none.
int truncatedOffset(float offset)
{
    if (!(std::fabs(offset) < 2147483648.0f))
        return 0;
    return int(offset);
}

bool isHiHat(int type)
{
    return type == BodyTypes::HiHat || type == BodyTypes::HiHatStand;
}

bool isStick(int hitType)
{
    return hitType == Hitpoint::ByEnd || hitType == Hitpoint::ByEdge;
}

// The offsets that the offset selector's entries give, in 4/4 and in 3/4.
constexpr float offsetsInFour[] = {0.0f, 0.333f, -0.333f};
constexpr float offsetsInThree[] = {0.0f, 0.5f};

// A button whose face is an image of its own size.
QPushButton* addImageButton(QWidget* parent, const char* name, const QIcon& face,
                            const QRect& geometry)
{
    auto* button = PanelLook::place(new QPushButton(parent), name, geometry);
    button->setIcon(face);
    button->setIconSize(geometry.size());
    button->setFlat(true);
    return button;
}

QComboBox* addCombo(QWidget* parent, const char* name, const QRect& geometry,
                    const QStringList& entries)
{
    auto* combo = PanelLook::place(new QComboBox(parent), name, geometry);
    combo->addItems(entries);
    return combo;
}

// A separator: a light line over a dark one.
void addSeparator(QWidget* parent, int y, int darkHeight)
{
    const auto line = [parent](const QRect& geometry, const QColor& colour) {
        auto* frame = new QFrame(parent);
        frame->setGeometry(geometry);
        frame->setPalette(QPalette(colour));
        frame->setAutoFillBackground(true);
    };
    line({2, y, 196, 2}, PanelLook::etchLight);
    line({2, y + 2, 196, darkHeight}, PanelLook::etchDark);
}

// A three-digit number display: amber on charcoal, as the grid's bar marks on its cells.
QLCDNumber* addDisplay(QWidget* parent, const char* name)
{
    auto* display = new QLCDNumber(3, parent);
    display->setObjectName(name);
    display->setMaximumWidth(45);
    display->setSegmentStyle(QLCDNumber::Flat);
    display->setFrameShape(QFrame::Panel);
    display->setFrameShadow(QFrame::Sunken);
    QPalette palette = display->palette();
    palette.setColor(QPalette::Window, QColor(34, 34, 38));
    palette.setColor(QPalette::WindowText, QColor(240, 172, 48));
    display->setPalette(palette);
    display->setAutoFillBackground(true);
    return display;
}

const QStringList offsetEntriesInFour = {"0", "+1/3", "-1/3"};

} // namespace

DreditWidget::DreditWidget(QWidget* parent) : QWidget(parent)
{
    buildForm();
    connectForm();
    patAddSlot();
}

void DreditWidget::buildForm()
{
    setObjectName("Form1");
    setWindowTitle("Form1");
    setFixedSize(200, 400);
    PanelLook::applyTextures(this);

    QFrame* form = dreditWidget =
        PanelLook::place(new QFrame(this), "dreditWidget", {0, 0, 200, 400});
    form->setFrameShape(QFrame::WinPanel);
    form->setFrameShadow(QFrame::Raised);

    drsetLabel = PanelLook::title(form, "drsetLabel", "Drumset", {10, 9, 100, 20}, 10);
    drsetLoadButton = PanelLook::button(form, "drsetLoadButton", "Load", {90, 7, 80, 21});
    PanelLook::label(form, "drsetNameLabel", "Name", {10, 32, 30, 21});
    PanelLook::label(form, "drsetInfoLabel", " Info", {10, 57, 30, 21});
    PanelLook::label(form, "drsetVersionLabel", "Version", {10, 82, 40, 21});
    drsetNameLineEdit =
        PanelLook::place(new QLineEdit(form), "drsetNameLineEdit", {40, 32, 150, 20});
    drsetInfoLineEdit =
        PanelLook::place(new QLineEdit(form), "drsetInfoLineEdit", {40, 57, 150, 20});
    drsetVersionLineEdit =
        PanelLook::place(new QLineEdit(form), "drsetVersionLineEdit", {50, 82, 130, 20});
    for (QLineEdit* edit : {drsetNameLineEdit, drsetInfoLineEdit, drsetVersionLineEdit})
        edit->setReadOnly(true);
    PanelLook::picture(form, "drsetLine1", "Textures/hline111.bmp", {10, 107, 181, 20});

    PanelLook::title(form, "songLabel", "Song", {10, 130, 100, 20}, 10);
    songNewButton = PanelLook::button(form, "songNewButton", "New", {70, 130, 40, 21});
    songLoadButton = PanelLook::button(form, "songLoadButton", "Load", {110, 130, 40, 21});
    songSaveButton = PanelLook::button(form, "songSaveButton", "Save", {150, 130, 40, 21});
    PanelLook::picture(form, "drsetLine2", "Textures/hline111.bmp", {10, 154, 181, 20});

    PanelLook::title(form, "patLabel", "Patern", {10, 170, 100, 21}, 10);
    patCombo = PanelLook::place(new QComboBox(form), "patCombo", {55, 170, 50, 21});
    PanelLook::label(form, "patLenLabel", "Lenght", {115, 170, 40, 21});
    patLenSpin =
        PanelLook::spinBox(form, "patLenSpin", {155, 170, 35, 21}, 1, Pattern::maxLength, 32);
    patRemButton = PanelLook::button(form, "patRemButton", "Remove", {10, 200, 80, 21});
    patCopyButton = PanelLook::button(form, "patCopyButton", "Copy", {110, 200, 80, 21});
    patAddButton = PanelLook::button(form, "patAddButton", "Add", {10, 221, 80, 21});
    patPasteButton = PanelLook::button(form, "patPasteButton", "Paste", {110, 221, 80, 21});

    PanelLook::label(form, "tempoLabel", "BPM", {10, 250, 40, 21});
    tempoSpin = PanelLook::spinBox(form, "tempoSpin", {45, 250, 45, 21}, 1, 240, 120);
    PanelLook::label(form, "rytLabel", "Rythm", {100, 250, 40, 21});
    rytCombo = addCombo(form, "rytCombo", {140, 250, 50, 21}, {"4/4", "3/4"});
    PanelLook::label(form, "veloLabel", "Velo", {10, 280, 40, 21});
    veloSpin = PanelLook::spinBox(form, "veloSpin", {45, 280, 45, 21}, 1, 127, 100);
    PanelLook::label(form, "offsetLabel", "Offset", {100, 280, 40, 21});
    offsetCombo = addCombo(form, "offsetCombo", {140, 280, 50, 21}, offsetEntriesInFour);

    insertButton = addImageButton(form, "insertButton",
                                  PanelLook::toggleFace("Textures/insert1.bmp"), {10, 310, 80, 21});
    eraseButton = addImageButton(form, "eraseButton", PanelLook::toggleFace("Textures/erase1.bmp"),
                                 {110, 310, 80, 21});
    for (QPushButton* toggle : {insertButton, eraseButton})
        toggle->setCheckable(true);
    insertButton->setChecked(true);

    addSeparator(form, 342, 1);
    auto* position = PanelLook::place(new QWidget(form), "", {2, 345, 196, 27});
    position->setFont(PanelLook::titleFont(10));
    auto* row = new QHBoxLayout(position);
    row->setContentsMargins(0, 0, 0, 0);
    row->addSpacing(5);
    auto* patNumLabel = new QLabel("Patern", position);
    patNumLabel->setObjectName("patNumLabel");
    patNumLabel->setMaximumWidth(45);
    row->addWidget(patNumLabel);
    row->addStretch();
    row->addWidget(patNumLCD = addDisplay(position, "patNumLCD"));
    row->addStretch();
    auto* beatNumLabel = new QLabel("Beat", position);
    beatNumLabel->setObjectName("beatNumLabel");
    row->addWidget(beatNumLabel);
    row->addStretch();
    row->addWidget(beatNumLCD = addDisplay(position, "beatNumLCD"));
    addSeparator(form, 372, 2);

    playSongButton = addImageButton(
        form, "playSongButton", QIcon(PanelLook::image("Textures/plsng2.bmp")), {1, 376, 66, 23});
    playPatButton = addImageButton(
        form, "playPatButton", QIcon(PanelLook::image("Textures/plpat2.bmp")), {67, 376, 66, 23});
    stopButton = addImageButton(form, "stopButton", QIcon(PanelLook::image("Textures/stop2.bmp")),
                                {133, 376, 66, 23});
    applyFrameFont();
}

void DreditWidget::connectForm()
{
    connect(drsetLoadButton, &QPushButton::clicked, this, qOverload<>(&DreditWidget::drsetLoad));
    connect(songLoadButton, &QPushButton::clicked, this, &DreditWidget::songLoad);
    connect(songSaveButton, &QPushButton::clicked, this, &DreditWidget::songSave);
    connect(songNewButton, &QPushButton::clicked, this, &DreditWidget::songNew);
    connect(patAddButton, &QPushButton::clicked, this, &DreditWidget::patAddSlot);
    connect(patRemButton, &QPushButton::clicked, this, &DreditWidget::patRemSlot);
    connect(patCopyButton, &QPushButton::clicked, this, &DreditWidget::patCopySlot);
    connect(patPasteButton, &QPushButton::clicked, this, &DreditWidget::patPasteSlot);
    connect(patLenSpin, &QSpinBox::valueChanged, this, &DreditWidget::patLenSlot);
    connect(veloSpin, &QSpinBox::valueChanged, this, &DreditWidget::veloSlot);
    connect(tempoSpin, &QSpinBox::valueChanged, this, &DreditWidget::bpmSlot);
    connect(patCombo, &QComboBox::activated, this, &DreditWidget::patSelSlot);
    connect(offsetCombo, &QComboBox::activated, this, &DreditWidget::offsetSlot);
    connect(rytCombo, &QComboBox::activated, this, &DreditWidget::rythmSlot);
    connect(insertButton, &QPushButton::clicked, this, &DreditWidget::insertSlot);
    connect(eraseButton, &QPushButton::clicked, this, &DreditWidget::eraseSlot);
    connect(playSongButton, &QPushButton::clicked, this, &DreditWidget::playSngSlot);
    connect(playPatButton, &QPushButton::clicked, this, &DreditWidget::playPatSlot);
    connect(stopButton, &QPushButton::clicked, this, &DreditWidget::stopSlot);
}

void DreditWidget::applyFrameFont()
{
    dreditWidget->setFont(PanelLook::bodyFont());
}

void DreditWidget::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange) {
        applyFrameFont();
        drsetLabel->setFont(PanelLook::titleFont(12));
    }
    QWidget::changeEvent(event);
}

void DreditWidget::updateAll()
{
    const auto show = [](QLineEdit* edit, const QString& text) {
        edit->setText(text);
        edit->setCursorPosition(0); // a long text is read from its start
    };
    show(drsetNameLineEdit, drumSet.name);
    show(drsetInfoLineEdit, drumSet.info);
    show(drsetVersionLineEdit, drumSet.version);
    patCombo->clear();
    const Pattern* pattern = shownPattern();
    if (!pattern) {
        patLenSpin->setValue(0);
        return;
    }
    for (int i = 0; i < int(song.patterns.size()); ++i)
        patCombo->addItem(QString::number(i));
    patCombo->setCurrentIndex(currentPattern);
    {
        // Lowering the maximum clamps the shown length; that must not shorten the pattern.
        const QSignalBlocker quiet(patLenSpin);
        patLenSpin->setMaximum(rhythmIndex == 0 ? 32 : 24);
    }
    patLenSpin->setValue(pattern->length);
    veloSpin->setValue(velocity);
    tempoSpin->setValue(bpm);
    rytCombo->setCurrentIndex(rhythmIndex);
    if (offsetIndex < offsetCombo->count())
        offsetCombo->setCurrentIndex(offsetIndex);
    showPlayPosition();
}

void DreditWidget::refreshTracks()
{
    emit clearTracks();
    tracks.clear();
    trackCount = 0;
    for (std::size_t d = 0; d < drumSet.allDrums.size(); ++d) {
        const auto& hitpoints = drumSet.allDrums[d]->hitpoints;
        for (std::size_t h = 0; h < hitpoints.size(); ++h) {
            emit addTrack(hitpoints[h]->name);
            tracks.emplace_back(int(d), int(h));
            ++trackCount;
        }
    }
    muted.resize(trackCount, false);
    soloed.resize(trackCount, false);
    volume.resize(trackCount, 100);
    for (int t = std::max(song.tracks, 0); t < trackCount; ++t) {
        muted[t] = false;
        soloed[t] = false;
        volume[t] = 100;
    }
    // A soloed track that was dropped or reset must not keep every other track silent.
    soloCount = int(std::count(soloed.begin(), soloed.end(), true));
    tellStrips();
    song.setTracks(trackCount, rhythm);
    refreshPat();
}

// The new strips start unchecked at full volume; they show what the panel holds instead.
void DreditWidget::tellStrips()
{
    for (int t = 0; t < trackCount; ++t)
        emit setMuteSoloVol(t, muted[t], soloed[t], volume[t]);
}

Pattern* DreditWidget::shownPattern()
{
    if (currentPattern < 0 || currentPattern >= int(song.patterns.size()))
        return nullptr;
    return &song.patterns[size_t(currentPattern)];
}

void DreditWidget::refreshPat()
{
    emit setBeats(rhythm);
    const Pattern* pattern = shownPattern();
    if (!pattern)
        return;
    emit setLenght(pattern->length);
    const int rows = std::min(song.tracks, int(pattern->cells.size()));
    for (int t = 0; t < rows; ++t) {
        for (int c = 0; c < Pattern::maxLength; ++c) {
            if (c < pattern->length)
                emit refresh(c, t, pattern->cells[t][c].velocity, pattern->cells[t][c].offset);
            else
                emit refresh(c, t, -1, 0.0f);
        }
    }
}

const Drum* DreditWidget::drumOf(int track) const
{
    if (track < 0 || track >= int(tracks.size()))
        return nullptr;
    const int drum = tracks[size_t(track)].drum;
    if (drum < 0 || drum >= int(drumSet.allDrums.size()))
        return nullptr;
    return drumSet.allDrums[size_t(drum)];
}

const Hitpoint* DreditWidget::hitpointOf(int track) const
{
    const Drum* drum = drumOf(track);
    if (!drum)
        return nullptr;
    const int hitpoint = tracks[size_t(track)].hitpoint;
    if (hitpoint < 0 || hitpoint >= int(drum->hitpoints.size()))
        return nullptr;
    return drum->hitpoints[size_t(hitpoint)].get();
}

void DreditWidget::pressed(int cell, int track)
{
    Pattern* pattern = shownPattern();
    if (!pattern || track < 0 || track >= int(pattern->cells.size()) || cell < 0 ||
        cell >= pattern->length || cell >= Pattern::maxLength)
        return;
    if (insertMode) {
        enterNote(*pattern, cell, track);
        return;
    }
    pattern->cells[size_t(track)][size_t(cell)] = Beat();
    emit refresh(cell, track, 0, 0.0f);
}

// A step holds at most one hi-hat note (hi-hat or pedal), one note per drum and two stick notes.
bool DreditWidget::refused(const Pattern& pattern, int cell, int track) const
{
    const Drum& drum = *drumOf(track);
    int hiHats = 0, sticks = 0;
    bool sameDrum = false;
    const int rows = std::min(int(tracks.size()), int(pattern.cells.size()));
    for (int t = 0; t < rows; ++t) {
        const Hitpoint* other = hitpointOf(t);
        if (t == track || !other || pattern.cells[size_t(t)][size_t(cell)].velocity <= 0)
            continue;
        hiHats += isHiHat(drumOf(t)->type);
        sameDrum = sameDrum || tracks[size_t(t)].drum == tracks[size_t(track)].drum;
        sticks += isStick(other->hitType);
    }
    if (isHiHat(drum.type) && hiHats > 0)
        return true;
    return sameDrum || (isStick(hitpointOf(track)->hitType) && sticks > 1);
}

void DreditWidget::enterNote(Pattern& pattern, int cell, int track)
{
    const Hitpoint* hitpoint = hitpointOf(track);
    if (!hitpoint)
        return; // the track has no drum in this kit
    Beat& beat = pattern.cells[size_t(track)][size_t(cell)];
    if (refused(pattern, cell, track)) {
        emit refresh(cell, track, beat.velocity, beat.offset);
        emit playUISound(uiSound);
        return;
    }
    if (beat.velocity == 0) {
        beat.velocity = velocity;
    } else {
        beat.velocity -= 20;
        if (beat.velocity < 1)
            beat.velocity += 127;
    }
    if (rhythmIndex == 0 && offsetIndex >= 0 && offsetIndex < 3)
        beat.offset = offsetsInFour[offsetIndex];
    else if (rhythmIndex == 1 && offsetIndex >= 0 && offsetIndex < 2)
        beat.offset = offsetsInThree[offsetIndex];

    const int sound = hitpoint->levels.empty() ? -1 : hitpoint->levels.front()->sndID;
    const int trackVolume = track < int(volume.size()) ? volume[size_t(track)] : 100;
    emit playSound(sound, beat.velocity * trackVolume / 100);
    emit refresh(cell, track, beat.velocity, beat.offset);
}

void DreditWidget::drsetLoad()
{
    const QString path = Dialogs::getOpenFileName(nullptr, QString(), "*.set", "Load drumset");
    if (!path.isEmpty() && !readKit(path))
        Dialogs::about(this, "Cannot load file", path);
    emit sendSet(&drumSet);
    updateAll();
}

int DreditWidget::drsetLoad(const QString& path)
{
    if (path.isEmpty() || !readKit(path))
        return -1;
    emit sendSet(&drumSet);
    updateAll();
    return 0;
}

// A new kit brings new tracks and an empty one-pattern song for them. Only a file that opens as a
// kit replaces the one the panel has (a pipe or a folder is no kit file and is not read).
bool DreditWidget::readKit(const QString& path)
{
    if (!QFileInfo(path).isFile())
        return false;
    DrumSetReader reader(path, soundCounter, drumCounter,
                         [this](const QString& file) { emit addSound(file); });
    if (!reader.opensAsKit())
        return false;
    emit soundClear();
    soundCounter = 0;
    drumSet = DrumSet();
    drumSet.path = path;
    trackCount = 0;
    reader.read(drumSet);
    refreshTracks();
    song = Song(trackCount, 1, bpm, rhythm);
    patCombo->clear();
    patCombo->addItem("0");
    currentPattern = 0;
    currentBeat = 0;
    refreshPat();
    return true;
}

bool DreditWidget::drsetSave(const QString& path)
{
    return DrumSetFile::write(drumSet, path);
}

void DreditWidget::songSave()
{
    if (currentPattern < 0)
        return;
    QString path = Dialogs::getSaveFileName(nullptr, QString(), "*.sng", "Save song");
    if (path.isEmpty())
        return;
    path = SongFile::withExtension(path);
    const int mode =
        Dialogs::question(nullptr, "Save song",
                          "Do you want to save song with drumset together or only with path to it",
                          {"With drumset", "Only with path", "Storno"}, 0, 2);
    if (mode != 0 && mode != 1)
        return;
    // The kit goes first: when it cannot be written, the song is not touched either.
    const QString kitPath = SongFile::kitBeside(path);
    if (mode == 0 && !drsetSave(kitPath)) {
        Dialogs::about(this, "Cannot save file", kitPath);
        return;
    }
    const StoredSong stored{mode, drumSet.path, song, soloCount, muted, soloed, volume};
    if (!SongFile::write(stored, path))
        Dialogs::about(this, "Cannot save file", path);
}

void DreditWidget::songLoad()
{
    const QString path = Dialogs::getOpenFileName(nullptr, QString(), "*.sng", "Load song");
    if (path.isEmpty())
        return;
    // Nothing changes before the file is known to hold a song.
    std::optional<StoredSong> stored;
    if (QFileInfo(path).isFile())
        stored = SongFile::read(path);
    if (!stored) {
        Dialogs::about(this, "Cannot load file!", path);
        return;
    }
    song = Song();
    patCombo->clear();
    currentPattern = -1;
    currentBeat = 0;
    if (stored->loadsKit() && drsetLoad(stored->kitPath) == -1)
        Dialogs::about(this, "Switching to Drumset Editor", "Cannot load file " + stored->kitPath);
    takeSong(std::move(*stored));
}

// A song saved for a kit that has since gained or lost hit points plays and edits only the tracks
// that the kit has now.
void DreditWidget::takeSong(StoredSong stored)
{
    stored.fitTracks(trackCount);
    song = std::move(stored.song);
    bpm = int(song.tempo);
    rhythm = song.rhythm;
    rhythmIndex = rhythm == 4 ? 0 : 1;
    muted = std::move(stored.mute);
    soloed = std::move(stored.solo);
    volume = std::move(stored.volume);
    soloCount = stored.soloCount;
    tellStrips();
    currentPattern = 0;
    refreshPat();
    updateAll();
}

void DreditWidget::songNew()
{
    song = Song(trackCount, 1, bpm, rhythm);
    patCombo->clear();
    patCombo->addItem("0");
    currentPattern = 0;
    currentBeat = 0;
    muted.assign(size_t(trackCount), false);
    soloed.assign(size_t(trackCount), false);
    volume.assign(size_t(trackCount), 100);
    soloCount = 0;
    tellStrips();
    refreshPat();
    updateAll();
}

void DreditWidget::veloSlot(int value)
{
    velocity = value;
}

void DreditWidget::offsetSlot(int index)
{
    offsetIndex = index;
}

void DreditWidget::rythmSlot(int index)
{
    if (index == 0) {
        rhythmIndex = 0;
        offsetCombo->clear();
        offsetCombo->addItems(offsetEntriesInFour);
        patLenSpin->setMaximum(32);
        rhythm = 4;
    } else if (index == 1) {
        rhythmIndex = 1;
        offsetCombo->clear();
        offsetCombo->addItem("0");
        rhythm = 3;
        patLenSpin->setMaximum(24);
    }
    offsetCombo->setCurrentIndex(0);
    song.setTracks(trackCount, rhythm);
    updateAll();
    refreshPat();
}

void DreditWidget::patSelSlot(int index)
{
    if (index < 0 || index >= int(song.patterns.size()))
        return;
    currentPattern = index;
    refreshPat();
    updateAll();
}

void DreditWidget::patLenSlot(int length)
{
    Pattern* pattern = shownPattern();
    if (!pattern)
        return;
    pattern->length = length;
    refreshPat();
}

void DreditWidget::patAddSlot()
{
    song.patterns.emplace_back(song.tracks, rhythm * 8);
    song.patternCount = int(song.patterns.size());
    currentPattern = song.patternCount - 1;
    updateAll();
    refreshPat();
}

void DreditWidget::patRemSlot()
{
    if (song.patterns.size() <= 1 || !shownPattern())
        return;
    song.patterns.erase(song.patterns.begin() + currentPattern);
    song.patternCount = int(song.patterns.size());
    if (currentPattern == song.patternCount)
        currentPattern = song.patternCount - 1;
    updateAll();
    refreshPat();
}

void DreditWidget::patCopySlot()
{
    if (const Pattern* pattern = shownPattern())
        clipboard = *pattern;
}

// A pattern copied under another kit or rhythm is brought to the song's tracks and rhythm.
void DreditWidget::patPasteSlot()
{
    Pattern* pattern = shownPattern();
    if (!clipboard || !pattern)
        return;
    *pattern = *clipboard;
    pattern->resize(song.tracks, rhythm * 8);
    updateAll();
    refreshPat();
}

void DreditWidget::insertSlot()
{
    insertMode = true;
    insertButton->setChecked(true);
    eraseButton->setChecked(false);
}

void DreditWidget::eraseSlot()
{
    insertMode = false;
    eraseButton->setChecked(true);
    insertButton->setChecked(false);
}

void DreditWidget::bpmSlot(int value)
{
    bpm = value;
    song.tempo = float(value);
    emit bpmSignal(value);
}

void DreditWidget::playSngSlot()
{
    startPlaying(true);
}

void DreditWidget::playPatSlot()
{
    startPlaying(false);
}

void DreditWidget::startPlaying(bool wholeSong)
{
    songMode = wholeSong;
    playing = true;
    subTick = BeatTiming::ticksPerStep - 1; // the first tick plays a step at once
    emit startSignal();
}

void DreditWidget::stopSlot()
{
    currentBeat = 0;
    updateAll();
    emit stopSignal();
    playing = false;
}

void DreditWidget::nextBeat()
{
    if (++subTick != BeatTiming::ticksPerStep)
        return;
    subTick = 0;
    playStep();
}

void DreditWidget::playStep()
{
    const int patternTotal = int(song.patterns.size());
    if (patternTotal == 0)
        return;
    if (currentPattern < 0 || currentPattern >= patternTotal)
        currentPattern = 0;
    const Pattern& pattern = song.patterns[currentPattern];
    const int length = playedLength(pattern);
    // The length may have been lowered, or a shorter pattern selected, since the last step.
    if (currentBeat < 0 || currentBeat >= length)
        currentBeat = 0;
    showPlayPosition();

    Event e1, e2, e3, e4;
    collectNotes(pattern, e1, e2, e3, e4);
    emit next(e1, e2, e3, e4);

    if (++currentBeat != length)
        return;
    currentBeat = 0;
    if (songMode) {
        currentPattern = (currentPattern + 1) % patternTotal;
        refreshPat();
    }
}

void DreditWidget::collectNotes(const Pattern& pattern, Event& e1, Event& e2, Event& e3,
                                Event& e4) const
{
    // A track that the song, the pattern or the kit lacks stays silent.
    const std::size_t count =
        std::min({tracks.size(), muted.size(), soloed.size(), pattern.cells.size()});
    for (std::size_t t = 0; t < count; ++t) {
        if (muted[t] || (soloCount != 0 && !soloed[t]))
            continue;
        const Beat& cell = pattern.cells[t][currentBeat];
        if (cell.velocity <= 0)
            continue;
        const TrackRef& track = tracks[t];
        if (track.drum < 0 || track.drum >= int(drumSet.allDrums.size()))
            continue;
        const Drum& drum = *drumSet.allDrums[track.drum];
        if (track.hitpoint < 0 || track.hitpoint >= int(drum.hitpoints.size()))
            continue;

        const Event note{track.drum, track.hitpoint, cell.velocity, truncatedOffset(cell.offset),
                         drum.priority};
        if (drum.type == BodyTypes::HiHatStand)
            e3 = note;
        else if (drum.type == BodyTypes::Kick)
            e4 = note;
        else if (e2.drumIndex == -1)
            e2 = note;
        else
            e1 = note;
    }
}

void DreditWidget::showPlayPosition()
{
    patNumLCD->display(currentPattern);
    beatNumLCD->display(currentBeat);
}

void DreditWidget::mute(int track)
{
    if (track < 0 || track >= int(muted.size()))
        return;
    muted[track] = !muted[track];
}

void DreditWidget::solo(int track)
{
    if (track < 0 || track >= int(soloed.size()))
        return;
    soloCount += soloed[track] ? -1 : 1;
    soloed[track] = !soloed[track];
}

void DreditWidget::vol(int track, int value)
{
    if (track < 0 || track >= int(volume.size()))
        return;
    volume[track] = value;
}

#pragma once

#include "kiteditor/hitpointwidget.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QComboBox>
#include <QSpinBox>
#include <QStringList>
#include <QTest>

// Records what the panel sends out, in order: "send" (sendDrum), "remove <id>", "update <id>",
// "add <file>", "reload <id>", "play <id> <volume>".
inline void logPanel(HitpointWidget& panel, QStringList& log)
{
    using P = HitpointWidget;
    auto on = [&](auto signal, auto entry) { QObject::connect(&panel, signal, &panel, entry); };
    on(&P::sendDrum, [&log] { log << "send"; });
    on(&P::dynaRemSignal, [&log](int id) { log << QString("remove %1").arg(id); });
    on(&P::updateSndIDs, [&log](int id) { log << QString("update %1").arg(id); });
    on(&P::dynaAddSignal, [&log](const QString& file) { log << "add " + file; });
    on(&P::dynaReloadSignal, [&log](int id) { log << QString("reload %1").arg(id); });
    on(&P::playSound,
       [&log](int id, int volume) { log << QString("play %1 %2").arg(id).arg(volume); });
}

// A person's hands on the panel's controls.
inline void click(QAbstractButton* button)
{
    QTest::mouseClick(button, Qt::LeftButton);
}

inline void choose(QComboBox* combo, int index)
{
    QTest::keyClick(combo, Qt::Key_Home);
    for (int i = 0; i < index; ++i)
        QTest::keyClick(combo, Qt::Key_Down);
}

inline void enter(QSpinBox* spin, int value)
{
    QTest::keyClick(spin, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(spin, QString::number(value));
    QTest::keyClick(spin, Qt::Key_Return);
}

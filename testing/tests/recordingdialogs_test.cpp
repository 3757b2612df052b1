#include "testing/recordingdialogs.h"

#include <gtest/gtest.h>

TEST(RecordingDialogs, RecordsMessagesAndAnswersInOrder)
{
    RecordingDialogs dialogs;
    dialogs.fileAnswers = {"a.set", "b.set"};
    dialogs.questionAnswers = {1};

    Dialogs::about(nullptr, "Cannot load file", "x.set");
    Dialogs::systemMessage("Error", "Nemuzu otevrit TGA soubor!");
    EXPECT_EQ(Dialogs::getOpenFileName(nullptr, QString(), "*.set", "Load drumset"), "a.set");
    EXPECT_EQ(Dialogs::getSaveFileName(nullptr, QString(), "*.set", "Save drumset"), "b.set");
    EXPECT_EQ(Dialogs::getSaveFileName(nullptr, QString(), "*.set", "Save drumset"), QString());
    EXPECT_EQ(Dialogs::question(nullptr, "Save song", "?", {"A", "B", "C"}, 0, 2), 1);
    EXPECT_EQ(Dialogs::question(nullptr, "Save song", "?", {"A", "B", "C"}, 0, 2), 2);

    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[0].kind, DialogSeam::Kind::About);
    EXPECT_EQ(dialogs.messages[0].caption, "Cannot load file");
    EXPECT_EQ(dialogs.messages[1].kind, DialogSeam::Kind::System);
    EXPECT_EQ(dialogs.messages[1].text, "Nemuzu otevrit TGA soubor!");
    ASSERT_EQ(dialogs.fileDialogs.size(), 3u);
    EXPECT_FALSE(dialogs.fileDialogs[0].save);
    EXPECT_EQ(dialogs.fileDialogs[1].caption, "Save drumset");
    EXPECT_EQ(dialogs.questions.size(), 2u);
}

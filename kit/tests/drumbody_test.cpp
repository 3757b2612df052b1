#include "kit/bodytypes.h"
#include "kit/drumbody.h"
#include "kit/tests/kitscene.h"
#include "testing/recordingdialogs.h"

#include <GL/gl.h>
#include <QDir>
#include <QTemporaryDir>
#include <set>

TEST(DrumBody, TypeNamesAreTheTwentySixBodyTypes)
{
    const DrumBody body;
    ASSERT_EQ(body.typeNames.size(), BodyTypes::count);
    for (int type = 0; type < BodyTypes::count; ++type)
        EXPECT_EQ(body.typeNames[type], QString::fromLatin1(BodyTypes::name(type)));
    EXPECT_EQ(body.typeNames.first(), "Kick drum 22");
    EXPECT_EQ(body.typeNames.last(), "Chair");
    EXPECT_EQ(body.listBase, 0u);
}

using DrumBodyLists = KitSceneTest;

TEST_F(DrumBodyLists, BuildsThirtyListsAndNineTexturesFromTheRunFolder)
{
    ASSERT_NE(body.listBase, 0u);
    for (GLuint n = 0; n < DrumBody::listCount; ++n)
        EXPECT_TRUE(glIsList(body.listBase + n)) << "list " << n;

    std::set<GLuint> names(std::begin(body.textures), std::end(body.textures));
    EXPECT_EQ(names.size(), size_t(DrumBody::textureCount)) << "each slot has its own texture";
    EXPECT_EQ(names.count(0), 0u);
    for (GLuint texture : body.textures) {
        glBindTexture(GL_TEXTURE_2D, texture);
        GLint side = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &side);
        EXPECT_GT(side, 1) << "texture " << texture << " has its image";
        EXPECT_EQ(side & (side - 1), 0) << "power-of-two side";
    }
}

TEST_F(DrumBodyLists, MissingTexturesAreReportedAndTheListsBuiltAllTheSame)
{
    const QString runDir = QDir::currentPath();
    QTemporaryDir empty;
    ASSERT_TRUE(QDir::setCurrent(empty.path()));
    RecordingDialogs dialogs;
    DrumBody bare;
    bare.buildDisplayLists();
    QDir::setCurrent(runDir);

    EXPECT_EQ(dialogs.messages.size(), size_t(DrumBody::textureCount));
    for (GLuint n = 0; n < DrumBody::listCount; ++n)
        EXPECT_TRUE(glIsList(bare.listBase + n));
    auto snare = makeDrum(BodyTypes::Snare);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadMatrixd(camera);
    glPushMatrix();
    snare->drawWithLists(false, false, false, bare.listBase);
    glPopMatrix();
    EXPECT_TRUE(covered(0, 0.1f, 0)) << "an untextured snare still draws";
}

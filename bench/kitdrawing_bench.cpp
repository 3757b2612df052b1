// Cost of drawing a kit from the display lists, which the stage view does every 25 ms, and of
// building the lists once. Needs a display (run it under xvfb-run).
#include "common/glformat.h"
#include "kit/bodytypes.h"
#include "kit/drumbody.h"
#include "kit/drumset.h"

#include <GL/glu.h>
#include <QDir>
#include <QGuiApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <memory>

namespace {

struct GlScene
{
    QOpenGLContext context;
    QOffscreenSurface surface;
    std::unique_ptr<QOpenGLFramebufferObject> framebuffer;

    bool open()
    {
        if (!context.create())
            return false;
        surface.setFormat(context.format());
        surface.create();
        if (!context.makeCurrent(&surface))
            return false;
        QOpenGLFramebufferObjectFormat format;
        format.setAttachment(QOpenGLFramebufferObject::Depth);
        framebuffer = std::make_unique<QOpenGLFramebufferObject>(600, 400, format);
        framebuffer->bind();
        glViewport(0, 0, 600, 400);
        glMatrixMode(GL_PROJECTION);
        gluPerspective(60, 1.5, 0.5, 30);
        glMatrixMode(GL_MODELVIEW);
        glEnable(GL_LIGHTING);
        glEnable(GL_LIGHT0);
        glEnable(GL_DEPTH_TEST);
        glEnable(GL_CULL_FACE);
        glEnable(GL_TEXTURE_2D);
        glEnable(GL_NORMALIZE);
        return true;
    }
};

// One root drum of every body type in a row, the selected one showing its crosses.
DrumSet everyType()
{
    DrumSet kit;
    for (int type = 0; type < BodyTypes::count; ++type) {
        auto* drum = new Drum;
        drum->type = type;
        drum->setupType();
        drum->addDefaultHitpoints();
        drum->translation[0] = 0.4f * float(type - 13);
        drum->selected = type == BodyTypes::Snare;
        kit.addRootDrum(drum);
    }
    return kit;
}

void drawKit(benchmark::State& state)
{
    DrumBody body;
    body.buildDisplayLists();
    DrumSet kit = everyType();
    for (auto _ : state) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glLoadIdentity();
        glTranslatef(0, -1, -7);
        glPushMatrix();
        kit.draw(false, true, true, body.listBase);
        glPopMatrix();
        glFinish();
    }
}
BENCHMARK(drawKit)->Unit(benchmark::kMillisecond);

void buildLists(benchmark::State& state)
{
    for (auto _ : state) {
        DrumBody body;
        body.buildDisplayLists();
        glFinish();
        state.PauseTiming();
        glDeleteLists(body.listBase, DrumBody::listCount);
        glDeleteTextures(DrumBody::textureCount, body.textures);
        state.ResumeTiming();
    }
}
BENCHMARK(buildLists)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    setDefaultGlFormat();
    QGuiApplication app(argc, argv);
    QDir::setCurrent(OLMIRA_RUN_DIR);
    GlScene scene;
    if (!scene.open()) {
        std::fprintf(stderr, "kitdrawing_bench: no GL context (run it under xvfb-run)\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}

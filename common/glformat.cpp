#include "common/glformat.h"

#include <QByteArray>
#include <QSurfaceFormat>
#include <dlfcn.h>
#include <link.h>

void setDefaultGlFormat()
{
    QSurfaceFormat format;
    format.setVersion(2, 1);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setDepthBufferSize(24);
    QSurfaceFormat::setDefaultFormat(format);
}

void keepGlDriverLoaded()
{
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void*) {
            if (QByteArray(info->dlpi_name).endsWith("_dri.so"))
                dlopen(info->dlpi_name, RTLD_NOW | RTLD_NODELETE);
            return 0;
        },
        nullptr);
}

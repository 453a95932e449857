#pragma once
#include "engine/enginerendering.h"
#include "platform/filenames.h"
#include "platform/translations.h"

#include <QTemporaryDir>
#include <QtTest>

// Every test binary runs in a fresh, empty home: settings, engine profile and program
// folder all live below it, so no test sees another's files or the user's.
namespace TestEnv {
// Points HOME and the XDG folders at a new temporary folder. Call before QApplication.
QString isolateHome();
// The current isolated home.
QString home();
} // namespace TestEnv

#define VELMO_TEST_MAIN(TestObject)                                                   \
    int main(int argc, char *argv[])                                                  \
    {                                                                                 \
        FileNames::useUtf8();                                                         \
        TestEnv::isolateHome();                                                       \
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);                   \
        /* drawn as the browser draws them in the same environment */                \
        EngineRendering::applyFromProcess(); \
        QApplication app(argc, argv);                                                 \
        QApplication::setApplicationName(QStringLiteral("velmo"));                    \
        Translations::useChinese(app);                                                \
        TestObject tc;                                                                \
        QTEST_SET_MAIN_SOURCE_PATH                                                    \
        return QTest::qExec(&tc, argc, argv);                                         \
    }

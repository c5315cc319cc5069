// An error escaping an event handler reaches the application's error
// dialog, and the program goes on handling events.
#include "common/widgets/recordingdialogs.h"
#include "support/errors.h"
#include "toolkit/application.h"

#include <QTimer>
#include <QWidget>
#include <QtTest>
#include <stdexcept>

namespace {

enum class Throw { Lorimel, Standard, Other, Nothing };

// A window whose click handler raises what it is told to.
class TThrowingWidget : public QWidget {
public:
    Throw what = Throw::Nothing;
    int clicks = 0;

protected:
    void mousePressEvent(QMouseEvent*) override {
        ++clicks;
        switch (what) {
        case Throw::Lorimel:
            throw EWriteError("Unable to write to /x/Lorimel.ini");
        case Throw::Standard:
            throw std::runtime_error("vector too long");
        case Throw::Other:
            throw 42;
        case Throw::Nothing:
            break;
        }
    }
};

} // namespace

// The widget layer of Qt is built without exception support, so an error
// unwinding from a click handler through its mouse dispatch skips the
// destructors of that dispatch's own copies of the event: a few hundred
// bytes per unexpected error, by design of the catch-all. Leak checking of
// sanitizer builds is told so for this program only.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libQt6Core.so\nleak:libQt6Gui.so\nleak:libQt6Widgets.so\n";
}

class TestApplication : public QObject {
    Q_OBJECT
private slots:
    void clickHandlerError_data();
    void clickHandlerError();
    void timerHandlerError();
};

void TestApplication::clickHandlerError_data() {
    QTest::addColumn<int>("what");
    QTest::addColumn<QString>("message");
    QTest::newRow("own error") << int(Throw::Lorimel) << "Unable to write to /x/Lorimel.ini";
    QTest::newRow("standard exception") << int(Throw::Standard) << "vector too long";
    QTest::newRow("anything else") << int(Throw::Other) << "Unknown error.";
}

void TestApplication::clickHandlerError() {
    QFETCH(int, what);
    QFETCH(QString, message);
    TRecordingDialogsScope dialogs;
    TThrowingWidget w;
    w.resize(50, 50);
    w.show();
    w.what = Throw(what);
    QTest::mouseClick(&w, Qt::LeftButton);
    QCOMPARE(dialogs->Exceptions(), QStringList{message});
    QVERIFY(dialogs->Messages().isEmpty());

    // The next event is handled as usual.
    w.what = Throw::Nothing;
    QTest::mouseClick(&w, Qt::LeftButton);
    QCOMPARE(w.clicks, 2);
    QCOMPARE(dialogs->Exceptions().size(), 1);
}

void TestApplication::timerHandlerError() {
    TRecordingDialogsScope dialogs;
    bool after = false;
    QTimer::singleShot(0, this, [] { throw ELorimelError("Errore nel timer"); });
    QTimer::singleShot(0, this, [&after] { after = true; });
    // Bounded: each round delivers whatever is due; two timers need few.
    for (int round = 0; round < 100 && !(after && !dialogs->Exceptions().isEmpty()); ++round)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    QCOMPARE(dialogs->Exceptions(), QStringList{"Errore nel timer"});
    QVERIFY(after);
}

int main(int argc, char** argv) {
    TApplication app(argc, argv);
    TestApplication test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "test_application.moc"

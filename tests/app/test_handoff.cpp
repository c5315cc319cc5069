// Later starts of the real program hand their files to the running main
// window through the local socket; runs under a real X server. Every
// process gets a private runtime folder, so no test meets a player the
// user runs.
#include "app/formlorimel.h"
#include "app/startup.h"
#include "common/appfakes.h"
#include "common/mediagen.h"
#include "common/testhome.h"
#include "common/widgets/recordingdialogs.h"
#include "platform/singleinstance.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

// A start of the program with its own environment.
class TStart {
public:
    TStart(const QStringList& args, const QProcessEnvironment& environment,
           const QString& folder = {}) {
        m_process.setProcessEnvironment(environment);
        if (!folder.isEmpty())
            m_process.setWorkingDirectory(folder);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QStringLiteral(LORIMEL_EXECUTABLE), args);
    }
    ~TStart() {
        if (running()) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }
    TStart(const TStart&) = delete;
    TStart& operator=(const TStart&) = delete;

    bool running() const { return m_process.state() != QProcess::NotRunning; }
    bool finish() {
        WaitFor([this] { return !running(); });
        return !running();
    }
    int exitCode() const {
        return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
    }

private:
    QProcess m_process;
};

} // namespace

class TestHandOff : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_media;
    QString m_mp3;  // 4 minutes
    QString m_mp3b; // 1.5 s

    // A private runtime folder: where the single-instance socket lives.
    static bool MakeRuntimeFolder(const QTemporaryDir& dir) {
        return dir.isValid() &&
               QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                     QFileDevice::ExeOwner);
    }

private slots:
    void initTestCase() {
        qputenv("LORIMEL_MPV_OPTIONS", "ao=null,vo=null");
        QVERIFY(m_media.isValid());
        m_mp3 = m_media.filePath(QStringLiteral("long.mp3"));
        m_mp3b = m_media.filePath(QStringLiteral("short.mp3"));
        QVERIFY(WriteSineMp3(m_mp3, 240.0, 8));
        QVERIFY(WriteSineMp3(m_mp3b, 1.5, 32));
    }

    void laterStartsHandTheirFilesOver() {
        QTemporaryDir runtime;
        QVERIFY(MakeRuntimeFolder(runtime));
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
        TTestHome home;
        TRecordingDialogsScope dialogs;
        TSingleInstance instance;
        QCOMPARE(instance.Start({}), TStartAction::Run);
        TFormLorimel form({}, std::make_unique<TFakeVolume>());
        ConnectHandOff(instance, form);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        const QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();

        // A media file: the playlist becomes that file and it plays.
        {
            TStart second({m_mp3}, environment);
            QVERIFY(second.finish());
            QCOMPARE(second.exitCode(), 0);
        }
        QVERIFY(WaitFor([&] { return form.Controller.Playlist.Entries == QStringList{m_mp3}; }));
        QVERIFY(WaitFor([&] {
            return form.Controller.Engine() &&
                   form.Controller.Engine()->GetMode() == TMPMode::Playing;
        }));
        QCOMPARE(form.Controller.Engine()->GetFileName(), m_mp3);

        // A playlist file, named relative to the later start's folder and
        // with an upper-case extension.
        QFile list(m_media.filePath(QStringLiteral("list.LPL")));
        QVERIFY(list.open(QIODevice::WriteOnly));
        const QString other = m_media.filePath(QStringLiteral("other.mp3"));
        QVERIFY(QFile::copy(m_mp3, other));
        list.write((other + "\r\n" + m_mp3b + "\r\n").toUtf8());
        list.close();
        {
            TStart second({QStringLiteral("list.LPL")}, environment, m_media.path());
            QVERIFY(second.finish());
            QCOMPARE(second.exitCode(), 0);
        }
        QVERIFY(WaitFor([&] {
            return form.Controller.Playlist.Entries == (QStringList{other, m_mp3b});
        }));
        QVERIFY(WaitFor([&] { return form.Controller.Engine()->GetFileName() == other; }));

        // Enqueued: appended, nothing else happens.
        const QString longName = m_media.filePath(QString(300, QLatin1Char('n')) + ".mp3");
        {
            TStart second({QStringLiteral("--enqueue"), longName}, environment);
            QVERIFY(second.finish());
            QCOMPARE(second.exitCode(), 0);
        }
        QVERIFY(WaitFor([&] { return form.Controller.Playlist.Entries.size() == 3; }));
        QCOMPARE(form.Controller.Playlist.Entries.last(), longName); // whole, however long
        QCOMPARE(form.Controller.Playlist.CurrentIndex, 0u);

        // Without an argument: nothing at all.
        {
            TStart second({}, environment);
            QVERIFY(second.finish());
            QCOMPARE(second.exitCode(), 0);
        }
        QTest::qWait(200);
        QCOMPARE(form.Controller.Playlist.Entries.size(), 3);
        QCOMPARE(dialogs->Messages().size(), 0);
    }

    void twoStartsTogetherLeaveOneRunning() {
        QTemporaryDir runtime;
        QVERIFY(MakeRuntimeFolder(runtime));
        TTestHome home;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        TStart first({}, environment);
        TStart second({}, environment);
        QVERIFY(WaitFor([&] { return !first.running() || !second.running(); }));
        TStart& ended = first.running() ? second : first;
        TStart& kept = first.running() ? first : second;
        QCOMPARE(ended.exitCode(), 0);
        // The one left keeps running: a third start finds it and ends at once.
        TStart third({}, environment);
        QVERIFY(third.finish());
        QCOMPARE(third.exitCode(), 0);
        QVERIFY(kept.running());
    }
};

QTEST_MAIN(TestHandOff)
#include "test_handoff.moc"

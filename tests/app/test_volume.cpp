// The wave-output volume: the percent <-> mixer range mapping, and a
// machine without a sound card.
#include "app/volumecontrol.h"
#include "common/widgets/recordingdialogs.h"

#include <QTemporaryDir>
#include <QtTest>

class TestVolume : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void percentToRaw_data();
    void percentToRaw();
    void rawToPercent_data();
    void rawToPercent();
    void setThenReadGivesSamePercent_data();
    void setThenReadGivesSamePercent();
    void withoutCardIsInert_data();
    void withoutCardIsInert();

private:
    QTemporaryDir m_alsaDir;
};

void TestVolume::initTestCase() {
    // An ALSA configuration that defines no card at all, whatever this
    // machine has: set before the first ALSA call reads the configuration.
    QVERIFY(m_alsaDir.isValid());
    const QString conf = m_alsaDir.filePath(QStringLiteral("asound.conf"));
    QFile file(conf);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("# no cards\n");
    file.close();
    qputenv("ALSA_CONFIG_PATH", QFile::encodeName(conf));
}

void TestVolume::percentToRaw_data() {
    QTest::addColumn<long>("min");
    QTest::addColumn<long>("max");
    QTest::addColumn<int>("percent");
    QTest::addColumn<long>("raw");
    QTest::newRow("0-255 bottom") << 0L << 255L << 0 << 0L;
    QTest::newRow("0-255 top is the whole range") << 0L << 255L << 100 << 255L;
    QTest::newRow("0-255 half rounds up") << 0L << 255L << 50 << 128L;
    QTest::newRow("0-255 1%") << 0L << 255L << 1 << 3L;
    QTest::newRow("0-255 39%") << 0L << 255L << 39 << 99L;
    QTest::newRow("dB-like bottom") << -10239L << 400L << 0 << -10239L;
    QTest::newRow("dB-like top") << -10239L << 400L << 100 << 400L;
    QTest::newRow("dB-like half") << -10239L << 400L << 50 << -4920L;
    QTest::newRow("all negative") << -6000L << -1000L << 20 << -5000L;
    QTest::newRow("coarse 0-31") << 0L << 31L << 50 << 16L;
    QTest::newRow("below 0 clamps") << 0L << 255L << -5 << 0L;
    QTest::newRow("above 100 clamps") << -10239L << 400L << 150 << 400L;
    QTest::newRow("empty range") << 5L << 5L << 70 << 5L;
}

void TestVolume::percentToRaw() {
    QFETCH(long, min);
    QFETCH(long, max);
    QFETCH(int, percent);
    QFETCH(long, raw);
    QCOMPARE(VolumePercentToRaw(percent, min, max), raw);
}

void TestVolume::rawToPercent_data() {
    QTest::addColumn<double>("raw");
    QTest::addColumn<long>("min");
    QTest::addColumn<long>("max");
    QTest::addColumn<int>("percent");
    QTest::newRow("0-255 full") << 255.0 << 0L << 255L << 100;
    QTest::newRow("0-255 mean of 127 and 128") << 127.5 << 0L << 255L << 50;
    QTest::newRow("0-255 100 is not 100%") << 100.0 << 0L << 255L << 39;
    QTest::newRow("dB-like bottom") << -10239.0 << -10239L << 400L << 0;
    QTest::newRow("dB-like zero dB") << 0.0 << -10239L << 400L << 96;
    QTest::newRow("above the range clamps") << 300.0 << 0L << 255L << 100;
    QTest::newRow("below the range clamps") << -10.0 << 0L << 255L << 0;
    QTest::newRow("empty range") << 5.0 << 5L << 5L << 0;
    QTest::newRow("reversed range") << 5.0 << 10L << 0L << 0;
}

void TestVolume::rawToPercent() {
    QFETCH(double, raw);
    QFETCH(long, min);
    QFETCH(long, max);
    QFETCH(int, percent);
    QCOMPARE(VolumeRawToPercent(raw, min, max), percent);
}

void TestVolume::setThenReadGivesSamePercent_data() {
    QTest::addColumn<long>("min");
    QTest::addColumn<long>("max");
    QTest::newRow("0-255") << 0L << 255L;
    QTest::newRow("0-100") << 0L << 100L;
    QTest::newRow("0-101") << 0L << 101L;
    QTest::newRow("0-65536") << 0L << 65536L;
    QTest::newRow("dB-like") << -10239L << 400L;
    QTest::newRow("all negative") << -6000L << 0L;
}

void TestVolume::setThenReadGivesSamePercent() {
    QFETCH(long, min);
    QFETCH(long, max);
    for (int percent = 0; percent <= 100; ++percent) {
        const long raw = VolumePercentToRaw(percent, min, max);
        QVERIFY(raw >= min && raw <= max);
        QCOMPARE(VolumeRawToPercent(double(raw), min, max), percent);
    }
}

void TestVolume::withoutCardIsInert_data() {
    QTest::addColumn<QString>("card");
    QTest::newRow("default card") << QStringLiteral("default");
    QTest::newRow("missing card") << QStringLiteral("hw:99");
    QTest::newRow("empty name") << QString();
}

void TestVolume::withoutCardIsInert() {
    QFETCH(QString, card);
    TRecordingDialogsScope dialogs;
    TAlsaVolumeControl volume(card);
    QVERIFY(!volume.Available());
    QVERIFY(volume.ElementName().isEmpty());
    QVERIFY(!volume.Error().isEmpty());
    QCOMPARE(volume.Volume(), 0);
    volume.SetVolume(80);
    volume.SetVolume(-3);
    QCOMPARE(volume.Volume(), 0);

    std::unique_ptr<IVolumeControl> system = CreateSystemVolumeControl();
    system->SetVolume(100);
    QCOMPARE(system->Volume(), 0);
    QVERIFY(dialogs->Calls().isEmpty());
}

QTEST_GUILESS_MAIN(TestVolume)
#include "test_volume.moc"

#include "AtomicFile.h"
#include "FileTestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

using testsupport::messageOf;
using testsupport::readAll;
using testsupport::writeAll;

// The contract of the all-or-nothing writer that every file of the user goes through: what it
// refuses, what it keeps of the old file, and which temporary files it clears away. Failures of
// the disk itself are proven on real file systems in tst_fullfilesystem.
class TestAtomicFile : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_dir.emplace();
        QVERIFY(m_dir->isValid());
    }
    void refusesWhatMayNotBeReplaced_data();
    void refusesWhatMayNotBeReplaced();
    void replacesThroughLinksKeepingPermissions();
    void removesOnlyTemporaryFilesWhoseWriterIsGone();

private:
    QString path(const QString& name) const { return m_dir->filePath(name); }
    QStringList entries() const
    {
        return QDir(m_dir->path())
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                       QDir::Name);
    }
    std::optional<QTemporaryDir> m_dir;
};

void TestAtomicFile::refusesWhatMayNotBeReplaced_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("message"); // %1 the target, %2 its folder

    QTest::newRow("folder as the name") << "folder"
                                        << "Файл «%1» нельзя заменить: это папка";
    // Even for the superuser, whom the permission bits alone would not stop.
    QTest::newRow("write-protected file") << "protected"
                                          << "Файл «%1» нельзя заменить: нет доступа";
    QTest::newRow("pipe") << "pipe"
                          << "Файл «%1» нельзя заменить: нет доступа";
    QTest::newRow("missing folder")
        << "missing"
        << "Файл «%1» не записан: в папке «%2» нельзя создать файл (папка или файл "
           "не найдены)";
}

void TestAtomicFile::refusesWhatMayNotBeReplaced()
{
    QFETCH(QString, kind);
    QFETCH(QString, message);
    QString target = path(kind);
    if (kind == QLatin1String("folder")) {
        QVERIFY(QDir().mkdir(target));
    } else if (kind == QLatin1String("protected")) {
        writeAll(target, "old");
        QVERIFY(
            QFile::setPermissions(target, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    } else if (kind == QLatin1String("pipe")) {
        QCOMPARE(::mkfifo(QFile::encodeName(target).constData(), 0666), 0);
    } else {
        target = path(QStringLiteral("no folder/target"));
    }
    const QStringList before = entries();

    AtomicFile file(target);
    QCOMPARE(messageOf([&] { file.open(); }),
             message.replace(QStringLiteral("%1"), target)
                 .replace(QStringLiteral("%2"), QFileInfo(target).absolutePath()));
    QCOMPARE(entries(), before);
    if (kind == QLatin1String("protected"))
        QCOMPARE(readAll(target), QByteArray("old"));
}

void TestAtomicFile::replacesThroughLinksKeepingPermissions()
{
    const QString target = path(QStringLiteral("plan.txt"));
    const QString link = path(QStringLiteral("link.txt"));
    writeAll(target, "old");
    const QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
    QVERIFY(QFile::setPermissions(target, permissions));
    QVERIFY(QFile::link(target, link));

    // A writer that gives up leaves the old file as it was and nothing else.
    {
        AtomicFile file(link);
        file.open();
        file.write("abandoned");
        QCOMPARE(file.targetPath(), target);
    }
    QCOMPARE(readAll(target), QByteArray("old"));
    QCOMPARE(entries(), QStringList({QStringLiteral("link.txt"), QStringLiteral("plan.txt")}));

    // Direct writes and a device's writes go out in order, the large one past the buffer.
    const QByteArray large(3 << 20, 'x');
    AtomicFile file(link);
    file.open();
    file.write("new ");
    file.device()->write(large);
    file.write(" end");
    file.commit();
    QCOMPARE(readAll(target), "new " + large + " end");
    QVERIFY(QFileInfo(link).isSymLink());
    QCOMPARE(QFile::permissions(target) & 0x7077, permissions);
    QCOMPARE(entries(), QStringList({QStringLiteral("link.txt"), QStringLiteral("plan.txt")}));
}

void TestAtomicFile::removesOnlyTemporaryFilesWhoseWriterIsGone()
{
    // Left by writers that were killed: no one holds them.
    const QStringList stale{QStringLiteral(".kestrin-0123456789abcdef.tmp"),
                            QStringLiteral(".kestrin-fedcba9876543210.dbf")};
    // A living writer's file (locked), and files that only look like ours.
    const QString living = QStringLiteral(".kestrin-00000000000000aa.tmp");
    const QStringList kept{living, QStringLiteral(".kestrin-notours.tmp"),
                           QStringLiteral("copy of .kestrin-0123456789abcdef.tmp"),
                           QStringLiteral(".kestrin-0123456789abcdef.tmp.bak")};
    for (const QString& name : stale + kept)
        writeAll(path(name), "left");
    const int held = ::open(QFile::encodeName(path(living)).constData(), O_RDONLY);
    QVERIFY(held >= 0);
    QCOMPARE(::flock(held, LOCK_EX), 0);

    AtomicFile file(path(QStringLiteral("new.txt")));
    file.open();
    file.write("new");
    file.commit();
    ::close(held);

    QStringList expected = kept;
    expected.append(QStringLiteral("new.txt"));
    expected.sort();
    QCOMPARE(entries(), expected);
}

QTEST_GUILESS_MAIN(TestAtomicFile)
#include "tst_atomicfile.moc"

#include "app/Module1.h"
#include "core/PlatformError.h"
#include "platform/controls/ComboBox.h"
#include "platform/controls/CommandButton.h"
#include "platform/controls/DirList.h"
#include "platform/controls/FileList.h"
#include "platform/files/FileRename.h"
#include "platform/files/FileSave.h"
#include "platform/files/SaveFlushCalls.h"
#include "rename/Form1d.h"
#include "support/FakePlatform.h"
#include "support/Input.h"
#include "support/RenameReason.h"
#include "support/ScopedCalls.h"
#include "support/TestFiles.h"
#include "viewer/Form3d.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Runs a tool quietly; its exit code, or -1 when it did not run or took too long.
int run(const QString& program, const QStringList& arguments, QString* output = nullptr)
{
    const QString found =
        QStandardPaths::findExecutable(program, {"/usr/sbin", "/sbin", "/usr/bin", "/bin"});
    if (found.isEmpty())
        return -1;
    QProcess process;
    // The FUSE daemons stay behind: they must not hold our pipes.
    if (!output)
        process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(found, arguments);
    if (!process.waitForFinished(20000)) {
        process.kill();
        process.waitForFinished();
        return -1;
    }
    if (output)
        *output = QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

bool isMountPoint(const QString& path)
{
    struct stat inside = {};
    struct stat parent = {};
    return ::stat(QFile::encodeName(path).constData(), &inside) == 0
        && ::stat(QFile::encodeName(path + "/..").constData(), &parent) == 0
        && inside.st_dev != parent.st_dev;
}

// Fills the drive that holds path to the last byte, as a disk that has filled up.
void fillUp(const QString& path)
{
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    const QByteArray block(1 << 20, 'x');
    for (int size : {1 << 20, 1 << 16, 1 << 12, 512, 1})
        while (::write(fd, block.constData(), size_t(size)) == size)
            ;
    ::fsync(fd);
    ::close(fd);
}

// A picture file of exactly the given size: a small PNG and bytes after its end.
QByteArray pictureOfSize(int bytes)
{
    QByteArray png = pictureBytes(4, 4, Qt::green, "png");
    png.resize(bytes, '\0');
    return png;
}

// A drive of its own, mounted as long as the object lives and unmounted however the test ends:
// a FAT or exFAT image through FUSE, or, for a drive that fills up as people's disks do, a small
// tmpfs or an ext4 image on a loop device.
class FuseDrive
{
public:
    FuseDrive(const QString& kind, int megabytes = 16, bool readOnly = false)
    {
        const QString image = folder_.filePath("drive.img");
        root = folder_.filePath("mnt");
        QDir(folder_.path()).mkdir("mnt");
        if (kind == "tmpfs") {
            const QString size = QString("size=%1m").arg(megabytes);
            if (run("mount", {"-t", "tmpfs", "-o", size, "tmpfs", root}) != 0)
                why = "cannot mount a tmpfs here (mounting needs root)";
            mounted = why.isEmpty();
            return;
        }
        const int fuse = ::open("/dev/fuse", O_RDWR | O_CLOEXEC);
        if (fuse < 0) {
            why = "FUSE cannot be used here: /dev/fuse cannot be opened";
            return;
        }
        ::close(fuse);
        if (kind.startsWith("memory")) {
            mountMemory(kind);
            return;
        }
        QFile file(image);
        if (!file.open(QIODevice::WriteOnly) || !file.resize(qint64(megabytes) << 20)) {
            why = "cannot make the image file";
            return;
        }
        file.close();
        if (kind == "ext4") {
            if (run("mkfs.ext4", {"-q", "-F", "-m", "0", image}) != 0
                || run("mount", {"-o", "loop", image, root}) != 0 || !isMountPoint(root))
                why = "cannot make and mount an ext4 image here (needs root and a loop device)";
            mounted = why.isEmpty();
            return;
        }
        if (kind == "FAT") {
            if (run("mkfs.vfat", {image}) != 0) {
                why = "mkfs.vfat (dosfstools) is missing or failed";
                return;
            }
            QStringList options = {image, root};
            if (!readOnly)
                options.prepend("rw+"), options.prepend("-o");
            if (run("fusefat", options) != 0 || !isMountPoint(root)) {
                why = "fusefat is missing or cannot mount the image";
                return;
            }
        } else {
            if (run("mkfs.exfat", {image}) != 0) {
                why = "mkfs.exfat (exfatprogs) is missing or failed";
                return;
            }
            // Run by root, exfat-fuse asks for a block device.
            QString device = image;
            if (::geteuid() == 0 && run("losetup", {"-f", "--show", image}, &loop_) != 0) {
                loop_.clear();
                why = "no loop device for the exFAT image, which exfat-fuse needs when run by root";
                return;
            }
            if (!loop_.isEmpty())
                device = loop_;
            QStringList arguments = {device, root};
            if (readOnly)
                arguments = QStringList({"-o", "ro"}) + arguments;
            if (run("mount.exfat-fuse", arguments) != 0 || !isMountPoint(root)) {
                why = "exfat-fuse is missing or cannot mount the image";
                return;
            }
        }
        mounted = true;
    }

    ~FuseDrive() { unmount(); }

    // Another drive in memory mounted in the same place, as a card swapped in its reader.
    void swap(const QString& kind)
    {
        unmount();
        mountMemory(kind);
    }

    FuseDrive(const FuseDrive&) = delete;
    FuseDrive& operator=(const FuseDrive&) = delete;

    QString file(const QString& name) const { return root + "/" + name; }
    // Hidden names too: a save's temporary file must not be left behind.
    QStringList names() const
    {
        return QDir(root).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }

    QString root;
    QString why;
    bool mounted = false;

private:
    // A drive in memory (tests/support/memory_drive.py) that fails on demand.
    void mountMemory(const QString& kind)
    {
        QStringList arguments = {NUMBRELLA_MEMORY_DRIVE, root};
        if (kind == "memory, never replaces")
            arguments << "--never-replaces";
        mounted = run("python3", arguments) == 0 && isMountPoint(root);
        if (!mounted)
            why = "python3 with fusepy (python3-fusepy) is missing or cannot mount a drive";
    }

    void unmount()
    {
        QDir::setCurrent(QDir::tempPath());
        if (isMountPoint(root)) {
            if (run("fusermount", {"-u", root}) != 0 && run("umount", {root}) != 0)
                run("umount", {"-l", root});
        }
        if (!loop_.isEmpty())
            run("losetup", {"-d", loop_});
        loop_.clear();
    }

    QTemporaryDir folder_;
    QString loop_;
};

} // namespace

#define MOUNT(drive)                                                                               \
    if (!(drive).mounted)                                                                          \
        QSKIP(qPrintable((drive).why));

class DrivesTest : public QObject
{
    Q_OBJECT

    static void bothKinds()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("FAT") << "FAT";
        QTest::newRow("exFAT") << "exFAT";
    }

private slots:
    void aRunRenamesEveryFile_data() { bothKinds(); }
    void aRunRenamesEveryFile()
    {
        QFETCH(QString, kind);
        FuseDrive drive(kind);
        MOUNT(drive);
        for (const char* name : {"a.jpg", "b.jpg", "c.jpg"})
            writeFile(drive.file(name), name);
        QDir::setCurrent(drive.root);
        {
            FakePlatform platform;
            Form1d form(platform);
            form.show();
            typeOver(form.Text1, "img");
            click(form.Command1);
            QVERIFY(platform.messages.isEmpty());
        }
        QCOMPARE(drive.names(), QStringList({"img001.jpg", "img002.jpg", "img003.jpg"}));
        QCOMPARE(readFile(drive.file("img003.jpg")), QByteArray("c.jpg"));
    }

    void aTakenNameIsRefusedAndTheTakenFileKept_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("newName");
        for (const char* kind : {"FAT", "exFAT"}) {
            QTest::addRow("%s, the same name", kind) << kind << "img001.jpg";
            QTest::addRow("%s, the name in other letter case", kind) << kind << "IMG001.JPG";
        }
    }
    void aTakenNameIsRefusedAndTheTakenFileKept()
    {
        QFETCH(QString, kind);
        QFETCH(QString, newName);
        FuseDrive drive(kind);
        MOUNT(drive);
        writeFile(drive.file("a.jpg"), "A");
        writeFile(drive.file("img001.jpg"), "KEEP");
        QCOMPARE(reasonOf(drive.file("a.jpg"), drive.file(newName)),
                 QString("同じ名前のファイルがすでにあります。"));
        QCOMPARE(drive.names(), QStringList({"a.jpg", "img001.jpg"}));
        QCOMPARE(readFile(drive.file("a.jpg")), QByteArray("A"));
        QCOMPARE(readFile(drive.file("img001.jpg")), QByteArray("KEEP"));
    }

    void aCaseOnlyRenameWorks_data() { bothKinds(); }
    void aCaseOnlyRenameWorks()
    {
        QFETCH(QString, kind);
        FuseDrive drive(kind);
        MOUNT(drive);
        writeFile(drive.file("a.jpg"), "A");
        QCOMPARE(reasonOf(drive.file("a.jpg"), drive.file("A.JPG")), QString());
        QCOMPARE(drive.names(), QStringList({"A.JPG"}));
        QCOMPARE(readFile(drive.file("A.JPG")), QByteArray("A"));
    }

    // A save onto a full drive is refused with its reason and leaves the file it was to replace
    // byte for byte, whatever its size: a small save must not slip into a buffer whose failed
    // flush goes unnoticed. fusefat answers a full drive as not permitted.
    void aSaveTheDriveRefusesSaysWhyAndKeepsTheOldFile_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("bytes");
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<QString>("reason");
        for (const char* kind : {"tmpfs", "ext4", "exFAT", "FAT"})
            for (int kilobytes : {1, 6, 200})
                QTest::addRow("%s full, %d KB", kind, kilobytes)
                    << kind << kilobytes * 1024 << false << "ドライブの空き容量が足りません。";
        QTest::newRow("exFAT read-only")
            << "exFAT" << 6 * 1024 << true << "ドライブが読み取り専用です。";
    }
    void aSaveTheDriveRefusesSaysWhyAndKeepsTheOldFile()
    {
        QFETCH(QString, kind);
        QFETCH(int, bytes);
        QFETCH(bool, readOnly);
        QFETCH(QString, reason);
        FuseDrive drive(kind, 4, readOnly);
        MOUNT(drive);
        if (!readOnly) {
            writeFile(drive.file("keep.jpg"), "KEEP");
            fillUp(drive.file("filler"));
        }
        const QStringList before = drive.names();
        QTemporaryDir pictures;
        writeFile(pictures.filePath("p.png"), pictureOfSize(bytes));
        Module1::SelectedFileName = "p.png";
        FakePlatform platform;
        platform.savePath = drive.file("keep.jpg");
        Form3d viewer(platform, [&] { return pictures.path(); });
        viewer.setAttribute(Qt::WA_DeleteOnClose, false);
        showActive(&viewer);
        QTest::keyClick(&viewer, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(platform.messages.size(), 1);
        QVERIFY2(platform.messages[0].text.endsWith(reason), qPrintable(platform.messages[0].text));
        // A FUSE drive hears of a closed file only after close() returns; a file removed before
        // that shows for a moment under a hidden name of the drive's own (.fuse_hidden...).
        QTRY_COMPARE(drive.names(), before);
        if (!readOnly)
            QCOMPARE(readFile(drive.file("keep.jpg")), QByteArray("KEEP"));
    }

    // A save leaves no temporary file behind: where the drive can, the file has no name until
    // it is whole; and a save removes what killed saves left, this program's own files only,
    // and none that a save may still be writing (locked, or touched lately).
    void aSaveLeavesNothingBehindAndClearsWhatAKilledOneLeft_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("namedWhileWritten");
        QTest::newRow("tmpfs: unnamed until whole") << "tmpfs" << 0;
        QTest::newRow("exFAT: a hidden name while written") << "exFAT" << 1;
    }
    void aSaveLeavesNothingBehindAndClearsWhatAKilledOneLeft()
    {
        QFETCH(QString, kind);
        QFETCH(int, namedWhileWritten);
        FuseDrive drive(kind);
        MOUNT(drive);
        const QStringList kept = {".numbrella-save-Held12", ".numbrella-save-New123",
                                  ".numbrella-save-Old1234", "numbrella-save-Old123"};
        for (const QString& name : kept + QStringList({".numbrella-save-Old123"}))
            writeFile(drive.file(name), "LEFT");
        QDir::setCurrent(drive.root);
        QCOMPARE(
            run("touch", {"-d", "1 hour ago", kept[0], kept[2], kept[3], ".numbrella-save-Old123"}),
            0);
        const int held = ::open(".numbrella-save-Held12", O_RDONLY | O_CLOEXEC);
        QCOMPARE(::flock(held, LOCK_EX | LOCK_NB), 0);
        int named = -1;
        ScopedCalls save(saveFlushCalls());
        save->fsync = [&](int fd) {
            named = int(drive.names().size() - kept.size());
            return ::fsync(fd);
        };
        writeFileReplacing(drive.file("p.jpg"), "PICTURE");
        ::close(held);
        QCOMPARE(named, namedWhileWritten);
        QTRY_COMPARE(drive.names(), kept + QStringList({"p.jpg"}));
    }

    // What a run learns of a drive is never used on another: a card whose rename refuses a
    // taken name by itself is swapped for one whose rename replaces; a taken name is still
    // refused, and its file kept.
    void aDriveSwappedInTheSamePlaceIsLearntAfresh()
    {
        FuseDrive drive("memory, never replaces");
        MOUNT(drive);
        writeFile(drive.file("a.jpg"), "A");
        QDir::setCurrent(drive.root);
        FakePlatform platform;
        Form1d form(platform);
        form.show();
        click(form.Command1);
        QCOMPARE(drive.names(), QStringList({"001.jpg"}));
        drive.swap("memory");
        MOUNT(drive);
        for (const char* name : {"a.jpg", "b.jpg", "img002.jpg"})
            writeFile(drive.file(name), name);
        click(form.Dir1);
        QTest::keyClick(form.Dir1, Qt::Key_End);
        QTest::keyClick(form.Dir1, Qt::Key_Return);
        typeOver(form.Text1, "img");
        click(form.Command1);
        QCOMPARE(platform.messages.size(), 1);
        QCOMPARE(drive.names(), QStringList({"b.jpg", "img001.jpg", "img002.jpg"}));
        QCOMPARE(readFile(drive.file("img002.jpg")), QByteArray("img002.jpg"));
    }

    // A listing that fails is told with its folder and the true reason, and never passed off as
    // an empty folder: at start (the window then opens on the folder above), on choosing a
    // filter (the list stays), in the re-read after a run, and by 連番化 on the list left empty.
    void aListingThatFailsIsToldAndNeverShownAsEmpty()
    {
        FuseDrive drive("memory");
        MOUNT(drive);
        for (const char* name : {"a.jpg", "b.jpg", "c.txt"})
            writeFile(drive.file(name), name);
        const QString failing = drive.file(".fail-listing");
        writeFile(failing, "0");
        QDir::setCurrent(drive.root);
        FakePlatform platform;
        Form1d form(platform);
        form.show();
        QCOMPARE(form.Dir1->path(), QFileInfo(drive.root).path());
        QCOMPARE(form.Combo1->count(), 12);
        QFile::remove(failing);
        click(form.Dir1);
        QTest::keyClick(form.Dir1, Qt::Key_End);
        QTest::keyClick(form.Dir1, Qt::Key_Return);
        writeFile(failing, "0");
        chooseByKeys(form.Combo1, 11);
        QCOMPARE(form.File1->listCount(), 2);
        QFile::remove(failing);
        chooseByKeys(form.Combo1, 0);
        writeFile(failing, "2"); // both files are renamed, then the listing fails
        click(form.Command1);
        QCOMPARE(form.File1->listCount(), 0);
        click(form.Command1);
        QFile::remove(failing);
        const QString told = drive.root
            + " を開けませんでした。\nドライブの読み書きでエラーが起きました。";
        QStringList texts;
        for (const FakePlatform::Message& message : platform.messages)
            texts << message.text;
        QCOMPARE(texts,
                 QStringList(
                     {told, told, told + "\n2 個中 2 個のファイルの名前を変更しました。", told}));
        QCOMPARE(drive.names(), QStringList({"001.jpg", "002.jpg", "c.txt"}));
    }
};

QTEST_MAIN(DrivesTest)
#include "test_drives.moc"

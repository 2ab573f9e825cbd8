#include "app/Module1.h"
#include "platform/ComboBox.h"
#include "platform/CommandButton.h"
#include "platform/DirList.h"
#include "platform/FileBytes.h"
#include "platform/FileList.h"
#include "platform/FileRename.h"
#include "platform/PlatformError.h"
#include "platform/SaveCalls.h"
#include "rename/Form1d.h"
#include "support/FakePlatform.h"
#include "support/Input.h"
#include "support/RenameReason.h"
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

#include <ctime>
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
        root = folder_.filePath("mnt");
        QDir(folder_.path()).mkdir("mnt");
        mount(kind, megabytes, readOnly);
    }

    ~FuseDrive() { unmount(); }

    FuseDrive(const FuseDrive&) = delete;
    FuseDrive& operator=(const FuseDrive&) = delete;

    // Another drive mounted in the same place, as a card swapped in its reader.
    void swap(const QString& kind)
    {
        unmount();
        why.clear();
        mounted = false;
        mount(kind, 16, false);
    }

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
    void mount(const QString& kind, int megabytes, bool readOnly)
    {
        const QString image = folder_.filePath("drive.img");
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
        // A drive in memory (tests/support/memory_drive.py) that fails on demand.
        if (kind.startsWith("memory")) {
            QStringList arguments = {NUMBRELLA_MEMORY_DRIVE, root};
            if (kind == "memory, never replaces")
                arguments << "--never-replaces";
            if (run("python3", arguments) != 0 || !isMountPoint(root))
                why = "python3 with fusepy (python3-fusepy) is missing or cannot mount a drive";
            mounted = why.isEmpty();
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

class FatDrivesTest : public QObject
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
        QCOMPARE(drive.names(), before);
        if (!readOnly)
            QCOMPARE(readFile(drive.file("keep.jpg")), QByteArray("KEEP"));
    }

    // A save leaves no temporary file behind: where the drive can, the file has no name until
    // it is whole; and a later save removes what saves killed midway left, this program's own
    // files only, and none that a save may still be writing.
    void aSaveLeavesNothingBehindAndClearsWhatAKilledOneLeft_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("unnamed");
        QTest::newRow("tmpfs: unnamed until whole") << "tmpfs" << true;
        QTest::newRow("exFAT: a hidden name while written") << "exFAT" << false;
    }
    void aSaveLeavesNothingBehindAndClearsWhatAKilledOneLeft()
    {
        QFETCH(QString, kind);
        QFETCH(bool, unnamed);
        FuseDrive drive(kind);
        MOUNT(drive);
        const QStringList kept = {".numbrella-save-Held12", ".numbrella-save-New123",
                                  ".numbrella-save-Old1234", "numbrella-save-Old123"};
        for (const QString& name : kept + QStringList({".numbrella-save-Old123"})) {
            writeFile(drive.file(name), "LEFT");
            // An hour old, but for the one just written.
            const timespec times[2] = {{::time(nullptr) - 3600, 0}, {::time(nullptr) - 3600, 0}};
            if (!name.contains("New"))
                QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(drive.file(name)).constData(),
                                     times, 0),
                         0);
        }
        // Still written by a save of another instance: it holds the lock.
        const int held =
            ::open(QFile::encodeName(drive.file(kept[0])).constData(), O_RDONLY | O_CLOEXEC);
        QCOMPARE(::flock(held, LOCK_EX | LOCK_NB), 0);
        QStringList whileWritten;
        const SaveCalls saved = saveCalls();
        saveCalls().fsync = [&](int fd) {
            whileWritten = drive.names();
            return ::fsync(fd);
        };
        writeFileReplacing(drive.file("p.jpg"), "PICTURE");
        saveCalls() = saved;
        ::close(held);
        QCOMPARE(whileWritten.size(), kept.size() + (unnamed ? 0 : 1));
        QCOMPARE(drive.names(), QStringList(kept + QStringList({"p.jpg"})));
        QCOMPARE(readFile(drive.file("p.jpg")), QByteArray("PICTURE"));
    }

    // What a run learns of a drive is never used on another: a card whose rename refuses a
    // taken name by itself is swapped for one whose rename replaces, and a taken name is still
    // refused, its file kept.
    void aDriveSwappedInTheSamePlaceIsLearntAfresh()
    {
        FuseDrive drive("memory, never replaces");
        MOUNT(drive);
        writeFile(drive.file("a.jpg"), "A");
        QDir::setCurrent(drive.root);
        FakePlatform platform;
        Form1d form(platform);
        form.show();
        typeOver(form.Text1, "x");
        click(form.Command1);
        QCOMPARE(drive.names(), QStringList({"x001.jpg"}));
        drive.swap("memory");
        MOUNT(drive);
        for (const char* name : {"a.jpg", "b.jpg"})
            writeFile(drive.file(name), name);
        writeFile(drive.file("img002.jpg"), "KEEP");
        click(form.Dir1);
        QTest::keyClick(form.Dir1, Qt::Key_End);
        QTest::keyClick(form.Dir1, Qt::Key_Return);
        typeOver(form.Text1, "img");
        click(form.Command1);
        QCOMPARE(platform.messages.size(), 1);
        QCOMPARE(drive.names(), QStringList({"b.jpg", "img001.jpg", "img002.jpg"}));
        QCOMPARE(readFile(drive.file("img002.jpg")), QByteArray("KEEP"));
    }

    // A listing that fails is told with its folder and the true reason wherever it fails, and
    // never passed off as an empty folder: at start, on choosing a filter, in the re-read after
    // a run, and by 連番化 on the list that re-read left empty.
    void aListingThatFailsIsToldAndNeverShownAsEmpty()
    {
        FuseDrive drive("memory");
        MOUNT(drive);
        for (const char* name : {"a.jpg", "b.jpg", "c.txt"})
            writeFile(drive.file(name), name);
        const QString failing = drive.file(".fail-listing");
        const QString told = drive.root
            + " を開けませんでした。\nドライブの読み書きでエラーが起きました。";
        writeFile(failing, "0");
        QDir::setCurrent(drive.root);
        FakePlatform platform;
        Form1d form(platform);
        form.show();
        QCOMPARE(platform.messages.size(), 1);
        QCOMPARE(platform.messages[0].text, told);
        // The window opens on the folder above, its choices all there.
        QCOMPARE(form.Dir1->path(), QFileInfo(drive.root).path());
        QCOMPARE(form.Combo1->count(), 12);
        QFile::remove(failing);
        click(form.Dir1);
        QTest::keyClick(form.Dir1, Qt::Key_End);
        QTest::keyClick(form.Dir1, Qt::Key_Return);
        QCOMPARE(form.File1->listCount(), 2);
        writeFile(failing, "0");
        chooseByKeys(form.Combo1, 11);
        QCOMPARE(platform.messages.size(), 2);
        QCOMPARE(platform.messages[1].text, told);
        QCOMPARE(form.File1->list(1), QString("b.jpg"));
        QFile::remove(failing);
        chooseByKeys(form.Combo1, 0);
        // Both files are renamed, then the listing fails.
        writeFile(failing, "2");
        typeOver(form.Text1, "img");
        click(form.Command1);
        QCOMPARE(platform.messages.size(), 3);
        QCOMPARE(platform.messages[2].text, told + "\n2 個中 2 個のファイルの名前を変更しました。");
        QCOMPARE(form.File1->listCount(), 0);
        click(form.Command1);
        QCOMPARE(platform.messages.size(), 4);
        QCOMPARE(platform.messages[3].text, told);
        QFile::remove(failing);
        QCOMPARE(drive.names(), QStringList({"c.txt", "img001.jpg", "img002.jpg"}));
    }
};

QTEST_MAIN(FatDrivesTest)
#include "test_fat_drives.moc"

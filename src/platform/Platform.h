#pragma once

#include <QString>

class QAbstractEventDispatcher;
class QFileDevice;

// The few operating-system services the program needs beyond Qt, with the Windows form and
// an equivalent elsewhere.
namespace Platform {

// The system's alert sound. Works before any application object exists.
void beep();

// Opens the desktop's file manager on a folder, or on the folder holding a file: Explorer on
// Windows, the desktop's default handler (xdg-open) elsewhere. An empty path opens the file
// manager at its default place. Returns false when the program could not be started.
bool showInFileManager(const QString &path);

// What became of a request to show a file with the desktop's default program.
enum class OpenResult {
    Opened,       // the program was started (what it then shows is up to it)
    MissingFile,  // there is no such file
    NoProgram,    // nothing that opens files is installed (no xdg-open on PATH), or it would not start
};

// Shows a file (a README, a report) with the program the desktop opens it with: the shell's
// file association on Windows, xdg-open elsewhere.
OpenResult openDocument(const QString &filePath);

// True when the volume whose root is given sits on a removable drive (a USB stick, a card).
bool isRemovableDrive(const QString &rootPath);

// The sysfs part of isRemovableDrive: a partition answers for its whole disk. Takes the
// kernel's device name ("sdb1") and the folder that lists block devices ("/sys/class/block").
bool isRemovableBlockDevice(const QString &deviceName, const QString &sysClassBlock);

// Pushes what was written to an open file out to the device and, where the system allows, drops
// the file's cached pages, so that reading it back reads what the drive really holds. False
// when the device did not confirm the write.
bool flushToDevice(QFileDevice &file);

// Writes a file's data out to its device and waits for it, given the file's descriptor (as
// QFileDevice::handle() gives it) rather than the file object, so that a thread other than the
// file's owner may call it while the owner keeps writing. False when the device did not confirm.
bool syncFileData(int fileHandle);

// Asks the system to start writing a range of a file out to its device now, without waiting for
// it. A large file written at network speed is then mostly on the device by the time it is
// committed, so the final flush waits for its tail only. A hint: false where the system has no
// such call or refused it, and nothing is lost either way.
bool startWriteBack(QFileDevice &file, qint64 offset, qint64 length);

// Lifts the soft limit on open files to the hard limit. A search of a few thousand displays
// keeps one control connection (and often an HTTP check) per display open at once, well past
// the usual soft default of 1,024; running out would make reachable displays look dead.
// Returns the soft limit in force afterwards (-1 where the system has no such limit).
long raiseOpenFileLimit();

// The event dispatcher for a program without windows that keeps many sockets open at once
// (quillonctl's searches of thousands of displays), to be handed to
// QCoreApplication::setEventDispatcher before the application object is made: one on epoll on
// Linux. Null where Qt's own should stay: on Windows it is told of ready sockets by the system
// instead of asking about each one on every turn, and elsewhere nothing better is at hand.
QAbstractEventDispatcher *createCommandLineEventDispatcher();

// Lets the C library's allocator keep freed memory for reuse instead of handing it back to the
// system at once. A download passes hundreds of megabytes through the network layer's blocks of
// up to a megabyte, allocated on one thread and freed on another; handed back and fetched again,
// every 4 kB of them costs a page fault, and on a virtual machine a fault costs more than the
// copy into the page (measured: a fifth of a 256 MB download's CPU). Blocks below 4 MB come from
// the heap, and up to 32 MB of free heap is kept. Called first thing in main(); nothing happens
// where the allocator has no such settings (on Windows the heap decides for itself).
void keepFreedMemoryForReuse();

// The size of a large page of the system's memory manager (2 MB on x86-64 Linux).
constexpr qsizetype LargeBlockAlignment = 2 * 1024 * 1024;

// Memory for a download's write blocks, which are filled at network speed and reused for the
// whole transfer. On Linux aligned to LargeBlockAlignment and marked for large pages, which the
// system then backs them with where it offers them; on Windows plain committed pages (large ones
// need a privilege a technician's account does not hold). Fresh memory is otherwise faulted in
// 4 kB at a time, and on a virtual machine those faults cost the first blocks of a download more
// than copying the bytes into them (measured: 5.4 ms per 2 MB with small pages, 0.2 to 1.5 ms
// with a large one). Zero-filled and writable. Null when the system has no memory to give.
// Released with releaseLargeBlock, given the same size.
void *allocateLargeBlock(qsizetype bytes);
void releaseLargeBlock(void *memory, qsizetype bytes);

}

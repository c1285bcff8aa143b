// The memory a pane lets go of is there, already written, for the next buffer of that size.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/memoryreuse.h"

#include <QTest>

#include <cstdlib>
#include <cstring>

#include <sys/resource.h>

class MemoryReuseTest : public QObject
{
    Q_OBJECT

private slots:
    void aFreedBufferIsReusedWithoutFaults();
};

namespace {

long minorFaults()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt;
}

// Allocates a buffer as large as a full pane's text, writes all of it and frees it.
void writeBuffer()
{
    const size_t size = 6 * 1024 * 1024;
    auto *buffer = static_cast<char *>(std::malloc(size));
    QVERIFY(buffer);
    std::memset(buffer, 'x', size);
    asm volatile("" : : "g"(buffer) : "memory"); // so that the compiler leaves the writing in
    std::free(buffer);
}

} // namespace

void MemoryReuseTest::aFreedBufferIsReusedWithoutFaults()
{
#if !defined(__GLIBC__) || defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    QSKIP("Only the GNU C library's own allocator is tuned");
#endif
    keepFreedMemoryForReuse();
    writeBuffer();
    const long before = minorFaults();
    writeBuffer();
    // A buffer mapped afresh would fault once for each of its 1,536 pages.
    QVERIFY2(minorFaults() - before < 100, qPrintable(QString::number(minorFaults() - before)));
}

QTEST_APPLESS_MAIN(MemoryReuseTest)
#include "tst_memoryreuse.moc"

#include <fcntl.h>
#include <gtest/gtest.h>

#include <utility>

#include "storage/FileAccess.h"
#include "storage/RangeLock.h"
#include "support/TempFolder.h"

namespace scortavia {
namespace {

// Two opens of one file are two owners of locks, as two copies of the program are: what one holds, the
// other meets without waiting.
class RangeLockTest : public testing::Test {
protected:
    void SetUp() override {
        test::writeBytes(folder.file("Magazzino.pro"), std::string(100, 'x'));
        holder = openRegularFile(folder.file("Magazzino.pro"), O_RDWR).value();
        other = openRegularFile(folder.file("Magazzino.pro"), O_RDWR).value();
    }

    // Whether the other owner can take `type` on bytes 10 to 19 at once (it lets go again at once).
    bool otherCanLock(short type) const {
        int error = 0;
        const RangeLock taken = RangeLock::place(other.get(), type, 10, 10, true, error);
        return error == 0;
    }

    RangeLock hold(short type, std::int64_t offset, std::int64_t length) const {
        int error = 0;
        RangeLock lock = RangeLock::place(holder.get(), type, offset, length, false, error);
        EXPECT_EQ(error, 0);
        return lock;
    }

    test::TempFolder folder;
    UniqueFd holder;
    UniqueFd other;
};

TEST_F(RangeLockTest, AWriteLockKeepsOthersOutUntilTheGuardGoes) {
    {
        const RangeLock lock = hold(F_WRLCK, 15, 1);
        EXPECT_FALSE(otherCanLock(F_WRLCK));
        EXPECT_FALSE(otherCanLock(F_RDLCK));
    }
    EXPECT_TRUE(otherCanLock(F_WRLCK));
}

TEST_F(RangeLockTest, ReadersShareAndKeepWritersOut) {
    const RangeLock lock = hold(F_RDLCK, 0, 0);
    EXPECT_TRUE(otherCanLock(F_RDLCK));
    EXPECT_FALSE(otherCanLock(F_WRLCK));
}

TEST_F(RangeLockTest, UnlockLiftsEarlyAndAMovedGuardLiftsOnce) {
    RangeLock first = hold(F_WRLCK, 10, 10);
    first.unlock();
    EXPECT_TRUE(otherCanLock(F_WRLCK));

    RangeLock moved = hold(F_WRLCK, 10, 10);
    {
        const RangeLock taken = std::move(moved);
        EXPECT_FALSE(otherCanLock(F_WRLCK));
    }
    EXPECT_TRUE(otherCanLock(F_WRLCK));
    // Lifting what was moved away, or lifting twice, takes no lock that stands now.
    const RangeLock again = hold(F_WRLCK, 10, 10);
    moved.unlock();
    first.unlock();
    EXPECT_FALSE(otherCanLock(F_WRLCK));
}

}  // namespace
}  // namespace scortavia

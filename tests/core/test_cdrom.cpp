#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "import/cdrom.h"
#include "tests/core/tempfolder.h"

namespace vorlisk {
namespace {

using vorlisk::testing::TempFolder;

TEST(CdromRootsFromMountsTable, KeepsDiscFileSystemsHighestMountPointFirst) {
    struct Case {
        std::string name;
        std::string table;
        std::vector<std::string> roots;
    };
    const std::vector<Case> cases = {
        {"empty table", "", {}},
        {"no discs",
         "/dev/sda1 / ext4 rw,relatime 0 0\nproc /proc proc rw 0 0\ntmpfs /tmp tmpfs rw 0 0\n",
         {}},
        {"types",
         "/dev/loop0 /media/iso iso9660 ro 0 0\n"
         "/dev/loop1 /media/udf udf ro 0 0\n"
         "fuseiso /home/u/.mnt/game fuse.fuseiso ro,nosuid 0 0\n"
         "/dev/loop2 /media/vfat vfat rw 0 0\n"
         "fuse /media/other fuse.sshfs rw 0 0\n",
         {"/media/udf/", "/media/iso/", "/home/u/.mnt/game/"}},
        {"devices",
         "/dev/sr0 /media/cd0 auto ro 0 0\n"
         "/dev/sr1 /media/cd1 vfat ro 0 0\n"
         "/dev/cdrom /mnt/cdrom auto ro 0 0\n"
         "/dev/cdrw1 /mnt/cdrw auto ro 0 0\n"
         "/dev/sda /mnt/sda auto ro 0 0\n"
         "/dev/srx /mnt/srx ext4 ro 0 0\n",
         {"/mnt/srx/", "/mnt/cdrom/", "/media/cd1/", "/media/cd0/"}},
        {"type and device names match exactly",
         "/dev/loop0 /a ISO9660 ro 0 0\n/dev/loop1 /b iso9660x ro 0 0\nx/dev/sr0 /c auto ro 0 0\n",
         {}},
        {"octal escapes in the mount point",
         "/dev/sr0 /media/My\\040Disc iso9660 ro 0 0\n"
         "/dev/sr1 /media/tab\\011and\\134back iso9660 ro 0 0\n"
         "/dev/sr2 /media/new\\012line iso9660 ro 0 0\n",
         {"/media/tab\tand\\back/", "/media/new\nline/", "/media/My Disc/"}},
        {"an escape in the device", "/dev/sr\\0600 /media/x auto ro 0 0\n", {"/media/x/"}},
        {"incomplete escapes stay as they are",
         "/dev/sr0 /media/a\\04 iso9660 ro 0 0\n/dev/sr1 /media/b\\9xx iso9660 ro 0 0\n",
         {"/media/b\\9xx/", "/media/a\\04/"}},
        {"the root folder keeps one slash", "/dev/sr0 / iso9660 ro 0 0\n", {"/"}},
        {"a mount point that already ends in a slash",
         "/dev/sr0 /media/x/ iso9660 ro 0 0\n",
         {"/media/x/"}},
        {"duplicates are removed",
         "/dev/sr0 /media/cd iso9660 ro 0 0\n/dev/sr0 /media/cd iso9660 ro 0 0\n",
         {"/media/cd/"}},
        {"descending byte order, bytes above 127 after ASCII",
         "/dev/sr0 /media/B iso9660 ro 0 0\n/dev/sr1 /media/\xc3\xa9 iso9660 ro 0 0\n"
         "/dev/sr2 /media/a iso9660 ro 0 0\n/dev/sr3 /media/A iso9660 ro 0 0\n",
         {"/media/\xc3\xa9/", "/media/a/", "/media/B/", "/media/A/"}},
        {"short and odd lines",
         "\n/dev/sr0\n/dev/sr0 /media/two\n   \n\t/dev/sr1\t/media/tabs\tiso9660\tro\n"
         "/dev/sr2  /media/blanks   udf ro 0 0\r\n",
         {"/media/tabs/", "/media/blanks/"}},
        {"a last line without line end", "/dev/sr0 /media/end iso9660 ro 0 0", {"/media/end/"}},
        {"binary bytes",
         std::string("\0\xff\x01 \x02\n/dev/sr0 /media/x\0y iso9660\n", 34),
         {std::string("/media/x\0y/", 11)}},
    };
    TempFolder temp("vorlisk-cdrom");
    for (const Case& c : cases) {
        EXPECT_EQ(CdromRootsFromMountsTable(temp.Write("mounts", c.table)), c.roots) << c.name;
    }
    EXPECT_TRUE(CdromRootsFromMountsTable(temp.Path("missing")).empty());
}

}  // namespace
}  // namespace vorlisk

// The bytes of the user's files survive the window: what is shown and stored again unchanged
// is stored byte for byte, whatever its encoding, and the rules compare bytes.
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

#include "launch/ui/formEmulatorPath.h"
#include "system/textfile.h"
#include "tests/ui/windowfixture.h"

namespace vorlisk::testing {
namespace {

std::string Without(std::string text, const std::string& bytes) {
    std::erase_if(text, [&bytes](char c) { return bytes.find(c) != std::string::npos; });
    return text;
}

TEST_F(WindowTest, EveryByteOfAFieldSurvivesShowAndStore) {
    struct Case {
        const char* what;
        std::string bytes;
    };
    const Case cases[] = {
        {"Windows-1252", "Caf\xe9 cr\xe8me \x80\x9f\xa0\xff"},
        {"UTF-8", "Caf\xc3\xa9 \xe2\x80\xa8 \xc2\xa0 \xf0\x9f\x8e\xae"},
        {"unassigned in Windows-1252", "x\x81\x8d\x8f\x90\x9d"},
        {"NUL", std::string("a\0b", 3)},
        {"lone CR", "a\rb"},
        {"lone LF", "a\nb"},
        {"CR NUL", std::string("a\r\0b", 4)},
        {"TAB", "a\tb"},
    };
    const std::string helper = PutMountHelper();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string field = Without(c.bytes, "\t");     // a TAB would split the line
        const std::string line = Without(c.bytes, "\t\r\n");  // one line of a hand-written file
        const std::string file = Without(c.bytes, std::string("\t\r\n\0/", 5));  // a file name
        const std::string image = Folder() + "image " + file + ".iso";
        Write("image " + file + ".iso", "disc");
        const std::string catalogue =
            EncodeCatalogueLine(field + '\t' + field + '\t' + line + "\t1\t" + image + '\t' +
                                field + '\t' + field + '\t' + field + '\t' + c.bytes) +
            "\r\n";
        Write("gameinv.txt", catalogue);
        Write("genre.txt", "RPG\r\n" + line + "\r\n");
        Write("emupath.txt", line + "\r\n\r\n\r\n" + line + "\r\n");

        formGameInventory& w = Start();
        formGameInventory::SelectEntry(w.cmbGenre(), 2);  // the genre filter compares bytes
        EXPECT_EQ(Names(), std::vector<std::string>{field});
        w.btnInfo_Click();
        Click(field);
        EXPECT_TRUE(w.btnPlay()->isEnabled());
        w.SaveGameRecord();
        w.btnPlay_Click();
        ASSERT_FALSE(system.started.empty());
        EXPECT_EQ(system.started[0].first, helper + " -mount 0,\"" + image + "\"");
        w.PathDialog()->Form_QueryUnload();
        w.btnClose_Click();
        EXPECT_EQ(Read("gameinv.txt"), catalogue);
        EXPECT_EQ(Read("emupath.txt"), line + "\r\n\r\n\r\n" + line + "\r\n");
        system.started.clear();
    }
}

TEST_F(WindowTest, ACatalogueFromWindowsStaysWindows1252) {
    const std::string catalogue =
        "Caf\xe9 Racer\tSLES-\xe9\tCOURSE \xc0 PIED\t1\t/g/caf\xe9.iso\t/p/\xe9t\xe9.jpg\t"
        "/p/\xe0.jpg\tR\xe9"
        "el\tcr\xe8me\tbr\xfbl\xe9"
        "e\r\n"
        "Pok\xe9mon\t\tRPG\t0\t\t\t\tReal PSX\t\x93quoted\x94 \x80 5\r\n"
        "\xdc" "ber \xe9t\xe9\tID 1 \t \tx\t\t\t\t\t \r\n";  // last in every language's order
    Write("gameinv.txt", catalogue);
    formGameInventory& w = Start();
    w.btnInfo_Click();
    for (const std::string& name : Names()) {
        Click(name);
        w.SaveGameRecord();
    }
    w.btnClose_Click();
    EXPECT_EQ(Read("gameinv.txt"), catalogue);

    // Typed text goes back in Windows-1252 when it fits, in UTF-8 when it does not.
    Click("Pok\xe9mon");
    w.txtID()->setText(QStringLiteral("\u00c9-1"));
    w.txtDescription()->setPlainText(QStringLiteral("Cr\u00e8me\n\u6f22"));
    w.txtISO()->setText(QStringLiteral("/g/\u00e0 la carte.iso"));
    w.SaveGameRecord();
    EXPECT_EQ(SelectedRecord(),
              "\xc9-1\tRPG\t0\t/g/\xe0 la carte.iso\t\t\tReal PSX\tCr\xc3\xa8me\t\xe6\xbc\xa2");
}

// A lone LF or CR of a stored description stays itself through an edit; only the user's own
// Enter becomes a stored line break.
TEST_F(WindowTest, AnEditedDescriptionKeepsItsLoneLineFeedAndCarriageReturn) {
    Write("gameinv.txt",
          EncodeCatalogueLine("Game\tID\t\t0\t\t\t\t\tone\ntwo\rthree\tfour") + "\r\n");
    formGameInventory& w = Start();
    w.btnInfo_Click();
    Click("Game");
    w.txtDescription()->moveCursor(QTextCursor::End);
    QTest::keyClicks(w.txtDescription(), "!");
    QTest::keyClick(w.txtDescription(), Qt::Key_Return);
    QTest::keyClicks(w.txtDescription(), "five");
    w.SaveGameRecord();
    EXPECT_EQ(SelectedRecord(), "ID\t\t0\t\t\t\t\tone\ntwo\rthree\tfour!\tfive");
}

}  // namespace
}  // namespace vorlisk::testing

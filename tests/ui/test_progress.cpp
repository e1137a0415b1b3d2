// Long work keeps the window alive: a folder of slow disc images is read while the window
// answers events and shows how far it is, and can be cancelled without a trace.

#include <QPainter>
#include <QPushButton>
#include <atomic>
#include <chrono>
#include <thread>

#include "tests/ui/windowfixture.h"

namespace vorlisk::testing {
namespace {

using Games = std::vector<std::pair<std::string, std::string>>;

constexpr size_t kImages = 12;

class SlowImportTest : public WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        std::filesystem::create_directories(Folder() + "images");
        for (size_t i = 0; i < kImages; ++i)
            Write("images/Game_" + std::to_string(i) + (i % 2 ? ".iso" : ".cue"), "x");
        Write("gameinv.txt",
              "Beta\tSLUS-00001\tRPG\t0\t\t\t\tReal PSX\t\r\n"
              "Alpha\t\tRPG\t0\t\t\t\tReal PSX\tcaf\xe9\r\n");
    }

    // Reads each image slowly: after telling that it has read an image, the reading waits until
    // the test has seen that count in the progress box (or the import is stopped).
    void ReadSlowly(formGameInventory& w) {
        w.SetFolderReader([this](const std::string& folder, const ImportProgress& progress,
                                 std::vector<std::string>* skipped) {
            return FolderImages(
                folder,
                [&](size_t done, size_t total) {
                    bool goOn = progress(done, total);
                    while (goOn && done >= allowed) {
                        std::this_thread::sleep_for(std::chrono::milliseconds(2));
                        goOn = progress(done, total);
                    }
                    return goOn;
                },
                skipped);
        });
    }

    // Lets the reading go on by one image each time the box shows the count reached so far;
    // the counts shown are kept in `shown`.
    void Follow(QProgressDialog* box) {
        const QString expected = QStringLiteral("Reading disc images... %1 of %2")
                                     .arg(allowed.load())
                                     .arg(kImages);
        if (box->labelText() != expected) return;
        shown.push_back(box->value());
        ++allowed;
    }

    // The games of `w`'s list, each name with its record.
    Games Listed(formGameInventory& w) const {
        Games games;
        const GameLists& lists = w.Inventory().Lists();
        for (int row = 0; row < lists.Count(); ++row)
            games.emplace_back(lists.Name(row), lists.RecordOf(row));
        return games;
    }

    std::atomic<size_t> allowed{0};
    std::vector<int> shown;
};

TEST_F(SlowImportTest, CancelledOrClosedLeavesEverythingAsItWas) {
    struct Case {
        const char* what;
        bool closeWindow;  // else Cancel is pressed
    };
    for (const Case& c : {Case{"Cancel", false}, Case{"closing the window", true}}) {
        SCOPED_TRACE(c.what);
        allowed = 0;
        shown.clear();
        ui.ended = 0;
        formGameInventory& w = Start();
        Click("Beta");
        ReadSlowly(w);
        const std::vector<std::string> names = Names();
        const std::string catalogue = Read("gameinv.txt");
        const std::string selected = SelectedRecord();

        bool acted = false;
        EventLoopProbe probe([&] {
            QProgressDialog* box = ShownProgressBox(w);
            if (!box || acted) return;
            EXPECT_EQ(box->windowModality(), Qt::WindowModal);
            if (allowed <= 3) return Follow(box);
            acted = true;
            if (c.closeWindow)
                w.close();
            else
                box->findChild<QPushButton*>()->click();
        });
        ui.folderAnswers = {ToQt(Folder() + "images")};
        w.btnAddISO_Click();

        EXPECT_GT(probe.ticks, 0);
        EXPECT_EQ(shown, (std::vector<int>{0, 1, 2, 3}));  // the count moved as images were read
        EXPECT_EQ(ShownProgressBox(w), nullptr);
        EXPECT_EQ(Names(), names);
        EXPECT_EQ(SelectedRecord(), selected);
        EXPECT_FALSE(w.inventoryChanged());
        EXPECT_EQ(Read("gameinv.txt"), catalogue);
        EXPECT_EQ(ui.ended, c.closeWindow ? 1 : 0);  // a closed window closes as usual
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    }
}

// The window with its progress box over it, as the screen shows them, into the build folder
// for people to look at (`make screenshots` copies it into docs/).
void RenderToPicture(QWidget& window, QWidget& box, const char* name) {
    QPixmap picture = window.grab();
    QPainter painter(&picture);
    painter.fillRect(picture.rect(), QColor(0, 0, 0, 60));
    const QPixmap shown = box.grab();
    const QRect place(QPoint((picture.width() - shown.width()) / 2,
                             (picture.height() - shown.height()) / 2),
                      shown.size());
    painter.drawPixmap(place.topLeft(), shown);
    painter.setPen(Qt::darkGray);
    painter.drawRect(place.adjusted(-1, -1, 0, 0));
    painter.end();
    EXPECT_TRUE(picture.save(QCoreApplication::applicationDirPath() + QLatin1Char('/') +
                             QLatin1String(name)));
}

TEST_F(SlowImportTest, ASlowImportAddsWhatAFastOneAdds) {
    // The fast way: no progress box has time to show.
    formGameInventory& fast = Start();
    Click("Alpha");
    ui.folderAnswers = {ToQt(Folder() + "images")};
    fast.btnAddISO_Click();
    const Games records = Listed(fast);
    const std::string selected = SelectedRecord();
    ASSERT_EQ(records.size(), kImages + 2);

    formGameInventory& slow = Start();
    slow.show();
    Click("Alpha");
    ReadSlowly(slow);
    EventLoopProbe probe([&] {
        QProgressDialog* box = ShownProgressBox(slow);
        if (!box) return;
        if (allowed == 5) RenderToPicture(slow, *box, "progress-import.png");
        Follow(box);
    });
    ui.folderAnswers = {ToQt(Folder() + "images")};
    slow.btnAddISO_Click();
    EXPECT_GT(probe.ticks, 0);
    ASSERT_EQ(shown.size(), kImages + 1);
    EXPECT_EQ(Listed(slow), records);
    EXPECT_EQ(SelectedRecord(), selected);
    EXPECT_TRUE(slow.inventoryChanged());
}

}  // namespace
}  // namespace vorlisk::testing

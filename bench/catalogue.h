#pragma once
// The catalogue that the benchmarks work on: a gameinv.txt of any number of games, generated
// from a fixed seed, so that every run and every program reads the same bytes.

#include <algorithm>
#include <clocale>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>

#include <QImage>

#include "bench/benchwindow.h"
#include "inventory/inventoryfile.h"

namespace vorlisk::bench {

inline const char* const kWords[] = {
    "Final", "Fantasy", "Legend", "Dragon", "Metal", "Gear", "Solid", "Crash", "Racing", "Street",
    "Fighter", "Tekken", "Ridge", "Racer", "Gran", "Turismo", "Silent", "Hill", "Resident", "Evil",
    "Castle", "Night", "Symphony", "Spyro", "Breath", "Fire", "Chrono", "Cross", "Wild", "Arms",
    "Xeno", "Gears", "Tomb", "Raider", "Medieval", "Oddworld", "Abe", "Exodus", "Vagrant", "Story",
    "Parasite", "Eve", "Ape", "Escape", "Time", "Crisis", "Soul", "Blade", "Wipeout", "Colony",
    "Wars", "Twisted", "Metal", "Driver", "Syphon", "Filter", "Star", "Ocean", "Suikoden",
    "Grandia", "Lunar", "Silver", "Thousand", "Kings",
    // Names beyond ASCII: two in UTF-8 and one in Windows-1252, as real catalogues hold them.
    "Caf\xC3\xA9", "\xC3\x89toile", "Ni\xF1o"};
inline const char* const kGenres[] = {"RPG",    "ADVENTURE", "FIGHT",   "RACE",
                                      "SPORTS", "MUSIC",     "SHOOTER", "OTHER"};
inline const char* const kEmulators[] = {"Real PSX", "VGS", "Bleem", "PSEmu", "ePSXe"};
inline const char* const kRegions[] = {"SLUS", "SCUS", "SLES", "SCES", "SLPS", "SCPS"};
inline const char* const kImageTypes[] = {".iso", ".cue", ".ccd", ".bwt"};

template <typename T, size_t N>
const T& Pick(std::mt19937& random, const T (&items)[N]) {
    return items[std::uniform_int_distribution<size_t>(0, N - 1)(random)];
}

// A folder holding gameinv.txt with `games` games in the program's own sorted form, lines
// of 150 to 250 bytes: names of two to four words (about one in eight with a word beyond
// ASCII), IDs, image and picture paths, and descriptions of several lines. `locale`, when
// given, is the locale the program saved it in (so its order is that locale's), else the
// one this process runs in. `shuffled`: the saved lines then put in a random order, as a
// catalogue written by another program or by hand may hold them.
class Catalogue {
  public:
    explicit Catalogue(int games, const std::string& locale = {}, bool shuffled = false)
        : folder_("vorlisk-bench-catalogue-" + std::to_string(games) +
                  (locale.empty() ? "" : "-" + locale) + (shuffled ? "-shuffled" : "")),
          games_(games) {
        const std::string ownLocale = std::setlocale(LC_ALL, nullptr);
        if (!locale.empty()) std::setlocale(LC_ALL, locale.c_str());
        std::mt19937 random(20260101);
        std::ofstream out(Path(), std::ios::binary);
        for (int i = 0; i < games; ++i) {
            std::string line = MakeLine(random);
            out << line << "\r\n";
        }
        out.close();
        // Saved once by the program, so that every benchmark starts from the same bytes.
        InventoryFile inventory(Path());
        inventory.LoadInventory("");
        inventory.inventoryChanged = true;
        inventory.SaveInventory();
        std::setlocale(LC_ALL, ownLocale.c_str());
        if (shuffled) Shuffle(random);
        bytes_ = static_cast<int64_t>(std::filesystem::file_size(Path()));
        std::printf("catalogue: %d games, %lld bytes, %s\n", games_, static_cast<long long>(bytes_),
                    Path().c_str());
    }

    std::string Folder() const { return folder_.Path(); }
    std::string Path() const { return folder_.Path() + "gameinv.txt"; }
    int Games() const { return games_; }
    int64_t Bytes() const { return bytes_; }

  private:
    void Shuffle(std::mt19937& random) const {
        std::vector<std::string> lines;
        {
            std::ifstream in(Path(), std::ios::binary);
            for (std::string line; std::getline(in, line);) lines.push_back(line + '\n');
        }
        std::shuffle(lines.begin(), lines.end(), random);
        std::ofstream out(Path(), std::ios::binary);
        for (const std::string& line : lines) out << line;
    }

    static std::string MakeLine(std::mt19937& random) {
        std::uniform_int_distribution<int> wordCount(2, 4), number(0, 99999), percent(0, 99);
        std::string name;
        for (int w = wordCount(random); w > 0; --w) {
            if (!name.empty()) name += ' ';
            name += Pick(random, kWords);
        }
        int extra = percent(random);
        if (extra < 15) name += " " + std::to_string(2 + extra % 3);
        if (extra >= 90) name += ": Director's Cut";

        char id[16];
        std::snprintf(id, sizeof id, "%s-%05d", Pick(random, kRegions), number(random));
        std::string fileName = name;
        std::replace(fileName.begin(), fileName.end(), ' ', '_');
        bool hasImage = percent(random) < 70;
        bool hasPictures = percent(random) < 60;

        std::string line =
            name + '\t' + id + '\t' + Pick(random, kGenres) + '\t' + (hasImage ? "1" : "0") + '\t';
        if (hasImage) line += "/home/player/psx/images/" + fileName + Pick(random, kImageTypes);
        line += '\t';
        if (hasPictures) line += "/home/player/psx/covers/" + std::string(id) + "-front.jpg";
        line += '\t';
        if (hasPictures) line += "/home/player/psx/covers/" + std::string(id) + "-back.jpg";
        line += '\t';
        line += Pick(random, kEmulators);
        line += '\t';

        // Paths so long that no description would fit: another game instead.
        if (line.size() > 230) return MakeLine(random);

        // The description: lines of a few words each, stored with TABs between them, cut to
        // the line's length.
        size_t length = std::uniform_int_distribution<size_t>(150, 250)(random);
        length = std::max(length, line.size() + 20);
        std::uniform_int_distribution<int> lineWords(3, 8);
        while (line.size() < length) {
            for (int w = lineWords(random); w > 0 && line.size() < length; --w) {
                line += Pick(random, kWords);
                line += ' ';
            }
            line.back() = '.';
            line += '\t';
        }
        line.resize(length);
        return line;
    }

    TempFolder folder_;
    int games_ = 0;
    int64_t bytes_ = 0;
};

// A covers/ folder beside a catalogue, removed again at the end: one cover for each game ID of
// the catalogue, named by ID as an emulator's cover collection is, and more under other IDs up
// to `count` files in all. The covers are links to one JPEG of 330 x 234 pixels.
class CoverFolderOf {
  public:
    CoverFolderOf(const Catalogue& catalogue, int count) : folder_(catalogue.Folder() + "covers/") {
        std::filesystem::create_directories(folder_);
        QImage picture(330, 234, QImage::Format_RGB32);
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x) picture.setPixel(x, y, qRgb(x, y, x ^ y));
        const std::string original = folder_ + "original.jpg";
        picture.save(QString::fromStdString(original), "JPEG");
        std::ifstream lines(catalogue.Path(), std::ios::binary);
        std::string line;
        auto link = [&](const std::string& id) {
            std::error_code exists;
            std::filesystem::create_hard_link(original, folder_ + id + ".jpg", exists);
            if (!exists) ++count_;
        };
        while (count_ < count && std::getline(lines, line)) {
            const size_t tab = line.find('\t');
            link(line.substr(tab + 1, line.find('\t', tab + 1) - tab - 1));
        }
        for (int other = 0; count_ < count; ++other) link("SLKA-" + std::to_string(other));
        std::filesystem::remove(original);
        ::sync();  // written out before anything is timed, so that no timed run writes it
    }
    ~CoverFolderOf() { std::filesystem::remove_all(folder_); }
    int Count() const { return count_; }

  private:
    std::string folder_;
    int count_ = 0;
};

}  // namespace vorlisk::bench

#pragma once
// The interface text table, the translation file translate.txt and the genre list genre.txt.

#include <cstddef>
#include <string>
#include <vector>

namespace vorlisk {

// The nine texts of the main window that titles, prompts and messages are built from,
// holding their default (English) texts until a translation replaces them.
struct InterfaceText {
    std::string strFilePrefix = "File '";
    std::string strNotFound = "' not found.";
    std::string strSelectImage = "Select Game Image";
    std::string strSelectPicture = "Select a Picture";
    std::string strSelectFolder = "Select a folder containing the ISO images";
    std::string strAllGenres = "(ALL)";  // never translated
    std::string strPathSetupTitle = "Setup Emulator Path";
    std::string strFindPrompt = "Text to search:";
    std::string strFindTitle = "Find";
    // The progress boxes of long work; %1 and %2 stand for the numbers or the image's name.
    std::string strReadingImages = "Reading disc images... %1 of %2";
    std::string strMounting = "Mounting %1...";
    std::string strCancel = "Cancel";
    // Told after Add ISO Images left out files it could not read: %1 is their number, %2
    // the names of a few.
    std::string strSkippedImages = "%1 file(s) could not be read and were not added: %2";
    // Play started nothing for an image that no drive holds.
    std::string strNotMounted =
        "The disc image was not put in a drive (no mount program was found, or none takes this "
        "kind of image), and no emulator was set to take it.";
    // Shown in the empty list of a catalogue without games.
    std::string strEmptyCatalogue = "No games yet: open Info >> and press Add ISO Images...";
    // The play history of the selected game: %1 the day it was last played, %2 the time
    // played in all (strHoursPlayed, or strMinutesPlayed under an hour).
    std::string strLastPlayed = "Last played %1 \xC2\xB7 %2 in all";
    std::string strHoursPlayed = "%1 h %2 min";
    std::string strMinutesPlayed = "%1 min";
    // A program that Play could not start: %1 stands for the program and why; the command
    // line follows.
    std::string strNotStarted = "Play could not start %1";
};

// Number of control captions at the head of translate.txt, and of all its lines.
inline constexpr size_t kTranslatedCaptions = 15;
inline constexpr size_t kTranslationLines = 33;

// What translate.txt holds. `captions` are its lines 1 to 15 in file order (the captions of
// btnAdd, btnAddISO, btnClose, btnClear, btnDelete, btnGet, btnPaths, btnPlay,
// lblDescription, lblGameInfo, lblGenre, lblID, lblPlay, lblScrnShots, chkISO), fewer when
// the file is shorter; controls beyond them keep their captions. `text` holds the defaults
// with lines 16 to 33 applied, as far as the file has them, to strFilePrefix, strNotFound,
// strSelectImage, strSelectPicture, strSelectFolder, strPathSetupTitle, strFindPrompt,
// strFindTitle, strReadingImages, strMounting, strCancel, strSkippedImages, strNotMounted,
// strEmptyCatalogue, strLastPlayed, strHoursPlayed, strMinutesPlayed and strNotStarted.
struct Translation {
    std::vector<std::string> captions;
    InterfaceText text;
    bool complete = true;  // false when the file is there but could not be read to its end
    std::string failureReason;
};

// Reads the translation at `path`. A missing or empty file changes nothing: no captions and
// the default texts; so does one that cannot be read, which is marked so. Lines are taken as
// they are (no trimming, empty lines kept); lines after the 33rd are ignored.
Translation ReadTranslation(const std::string& path);

// The genres of genre.txt, one per line, in file order, blanks, empty lines and duplicates
// kept; a final line break adds no empty genre.
struct GenreList {
    std::vector<std::string> genres;
    bool complete = false;  // false when reading failed part-way; `genres` holds what was read
    std::string failureReason;
    bool present = false;  // false when the file is missing or empty: keep the designed lists
};

GenreList ReadGenreList(const std::string& path);

// The genres offered when there is no genre.txt (without the entry for all genres).
inline const std::vector<std::string> kDefaultGenres = {"RPG",    "ADVENTURE", "FIGHT",   "RACE",
                                                        "SPORTS", "MUSIC",     "SHOOTER", "OTHER"};

}  // namespace vorlisk

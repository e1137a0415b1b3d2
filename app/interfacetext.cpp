#include "app/interfacetext.h"

#include <algorithm>
#include <cstddef>

#include "system/files.h"
#include "system/textfile.h"

namespace vorlisk {

Translation ReadTranslation(const std::string& path) {
    Translation translation;
    if (!FileExists(path)) return translation;
    TextLines file = ReadTextLines(path, LineEnds::HandWritten, kTranslationLines);
    if (!file.complete) {
        translation.complete = false;
        translation.failureReason = file.failureReason;
        return translation;
    }
    std::vector<std::string>& lines = file.lines;

    size_t captions = std::min(lines.size(), kTranslatedCaptions);
    translation.captions.assign(lines.begin(),
                                lines.begin() + static_cast<std::ptrdiff_t>(captions));

    // Lines 16 to 33 in file order; strAllGenres has no line.
    std::string* const texts[] = {
        &translation.text.strFilePrefix,    &translation.text.strNotFound,
        &translation.text.strSelectImage,   &translation.text.strSelectPicture,
        &translation.text.strSelectFolder,  &translation.text.strPathSetupTitle,
        &translation.text.strFindPrompt,    &translation.text.strFindTitle,
        &translation.text.strReadingImages, &translation.text.strMounting,
        &translation.text.strCancel,        &translation.text.strSkippedImages,
        &translation.text.strNotMounted,    &translation.text.strEmptyCatalogue,
        &translation.text.strLastPlayed,    &translation.text.strHoursPlayed,
        &translation.text.strMinutesPlayed, &translation.text.strNotStarted,
    };
    for (size_t i = kTranslatedCaptions; i < lines.size() && i < kTranslationLines; ++i)
        *texts[i - kTranslatedCaptions] = std::move(lines[i]);
    return translation;
}

GenreList ReadGenreList(const std::string& path) {
    GenreList list;
    if (!FileExists(path)) {
        list.complete = true;
        return list;
    }
    list.present = true;
    TextLines file = ReadTextLines(path, LineEnds::HandWritten);
    list.genres = std::move(file.lines);
    list.complete = file.complete;
    list.failureReason = file.failureReason;
    return list;
}

}  // namespace vorlisk

#include "show_cues.h"

#include "demo/show_tracks.h"

namespace composer {

const std::vector<int>& heartFlashRows() {
    static const std::vector<int> rows = [] {
        std::vector<int> out;
        for (std::uint32_t r : show::heartFlashRows())
            out.push_back(int(r));
        return out;
    }();
    return rows;
}

const std::vector<int>& strobeRows() {
    // The logo arrives at 389 and strobes every row until the main part; the explosion
    // build-up strobes in eighths, then sixteenths, then the blast at 2159.
    static const std::vector<int> rows = {389, 390, 391,  392,  393,  394,  395,  396,  397,
                                          398, 399, 2144, 2148, 2152, 2154, 2156, 2158, 2159};
    return rows;
}

} // namespace composer

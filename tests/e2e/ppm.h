#pragma once
// A binary PPM picture as windowshot writes it, read whole.
#include <cstdio>
#include <vector>

struct Picture {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;

    const unsigned char* at(int x, int y) const { return &rgb[(std::size_t(y) * width + x) * 3]; }
};

inline bool loadPicture(const char* path, Picture& p)
{
    FILE* f = std::fopen(path, "rb");
    if (!f)
        return false;
    int maxValue = 0;
    bool ok = std::fscanf(f, "P6 %d %d %d", &p.width, &p.height, &maxValue) == 3 && maxValue == 255 &&
              p.width > 0 && p.height > 0 && std::fgetc(f) != EOF;
    if (ok) {
        p.rgb.resize(std::size_t(p.width) * p.height * 3);
        ok = std::fread(p.rgb.data(), 1, p.rgb.size(), f) == p.rgb.size();
    }
    std::fclose(f);
    return ok;
}

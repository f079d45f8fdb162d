#pragma once

// Deletes what p points to (if anything) and leaves it null.
template <typename T> void deleteAndNull(T*& p)
{
    delete p;
    p = nullptr;
}

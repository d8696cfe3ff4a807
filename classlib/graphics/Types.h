// Points, sizes and rectangles.  They derive from the system's own records,
// so a TRect* is a RECT* and a TPoint is a POINT wherever the API asks.  The
// fields are the system's LONG; Width and Height answer int.
#pragma once

#include <windows.h>

struct TPoint : POINT {
    constexpr TPoint() : POINT{0, 0} {}
    constexpr TPoint(LONG ax, LONG ay) : POINT{ax, ay} {}
    constexpr TPoint(const POINT& p) : POINT{p.x, p.y} {}
    constexpr bool operator==(const TPoint& o) const { return x == o.x && y == o.y; }
};

struct TSize : SIZE {
    constexpr TSize() : SIZE{0, 0} {}
    constexpr TSize(LONG w, LONG h) : SIZE{w, h} {}
    constexpr TSize(const SIZE& s) : SIZE{s.cx, s.cy} {}
    constexpr bool operator==(const TSize& o) const { return cx == o.cx && cy == o.cy; }
};

struct TRect : RECT {
    constexpr TRect() : RECT{0, 0, 0, 0} {}
    constexpr TRect(LONG l, LONG t, LONG r, LONG b) : RECT{l, t, r, b} {}
    constexpr TRect(const RECT& r) : RECT{r.left, r.top, r.right, r.bottom} {}
    constexpr TRect(const TPoint& tl, const TPoint& br) : RECT{tl.x, tl.y, br.x, br.y} {}
    constexpr int Width() const { return int(right - left); }
    constexpr int Height() const { return int(bottom - top); }
    constexpr TPoint TopLeft() const { return {left, top}; }
    constexpr TPoint BottomRight() const { return {right, bottom}; }
    constexpr bool IsEmpty() const { return right <= left || bottom <= top; }
    constexpr bool Contains(const TPoint& p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
    constexpr bool operator==(const TRect& o) const
    {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};

constexpr TPoint Point(int x, int y) { return {x, y}; }
constexpr TRect Rect(int l, int t, int r, int b) { return {l, t, r, b}; }
constexpr TRect Bounds(int l, int t, int w, int h) { return {l, t, l + w, t + h}; }

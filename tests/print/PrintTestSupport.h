// Support for the printing tests: records what the page painters draw into an
// enhanced metafile (texts with their positions, colours and fonts, shapes with
// their pens and brushes, GDI objects made and deleted), reference devices of
// printer-like resolution, and a small project to print.
#pragma once

#include <gtest/gtest.h>

#include "PrintManager.h"
#include "ProjectManager.h"

#include <winspool.h>

#include <map>
#include <string>
#include <vector>

namespace printtest {

// One drawing call as the metafile holds it, with the DC state it drew with.
struct DrawOp {
    enum Kind { TextOut, Polygon, Ellipse, Line } kind = TextOut;
    std::wstring text;            // TextOut
    POINT at{0, 0};               // TextOut: reference point; Line: start
    POINT to{0, 0};               // Line: end
    RECT box{0, 0, 0, 0};         // Ellipse
    std::vector<POINT> points;    // Polygon
    COLORREF textColour = 0;
    LOGFONTW font{};              // the selected font
    LOGPEN pen{};                 // the selected pen
    COLORREF brush = CLR_INVALID; // the selected solid brush's colour
};

struct Recording {
    std::vector<DrawOp> ops;
    int objectsCreated = 0;
    int objectsDeleted = 0;
    bool stockFontAtEnd = true;   // the font selected when drawing ended is not one the painter made
    bool stockPenAtEnd = true;
    bool stockBrushAtEnd = true;

    std::vector<DrawOp> Texts() const {
        std::vector<DrawOp> out;
        for (const DrawOp& op : ops)
            if (op.kind == DrawOp::TextOut) out.push_back(op);
        return out;
    }
    // The first text drawn with exactly this content; fails the test when missing.
    DrawOp Text(const std::wstring& text) const {
        for (const DrawOp& op : ops)
            if (op.kind == DrawOp::TextOut && op.text == text) return op;
        ADD_FAILURE() << "no text drawn: " << std::string(text.begin(), text.end());
        return DrawOp{};
    }
    bool HasText(const std::wstring& text) const {
        for (const DrawOp& op : ops)
            if (op.kind == DrawOp::TextOut && op.text == text) return true;
        return false;
    }
    int Count(DrawOp::Kind kind) const {
        int n = 0;
        for (const DrawOp& op : ops)
            if (op.kind == kind) ++n;
        return n;
    }
};

// A metafile DC that answers device questions as `reference` does; `draw`
// paints into it, and the records come back decoded.
template <typename Draw>
Recording Record(HDC reference, Draw draw) {
    HDC dc = CreateEnhMetaFileW(reference, nullptr, nullptr, nullptr);
    EXPECT_NE(dc, nullptr);
    draw(dc);
    HENHMETAFILE emf = CloseEnhMetaFile(dc);
    EXPECT_NE(emf, nullptr);

    struct State {
        Recording rec;
        std::map<DWORD, LOGFONTW> fonts;
        std::map<DWORD, LOGPEN> pens;
        std::map<DWORD, COLORREF> brushes;
        std::map<DWORD, int> kind;  // 1 font, 2 pen, 3 brush
        LOGFONTW font{};
        LOGPEN pen{};
        COLORREF brush = CLR_INVALID;
        DWORD fontHandle = 0, penHandle = 0, brushHandle = 0;  // 0: a stock object
        COLORREF textColour = 0;
        POINT cursor{0, 0};
    } state;

    auto onRecord = [](HDC, HANDLETABLE*, const ENHMETARECORD* r, int, LPARAM lp) -> int {
        State& s = *reinterpret_cast<State*>(lp);
        DrawOp op;
        auto stamp = [&s](DrawOp& o) {
            o.textColour = s.textColour;
            o.font = s.font;
            o.pen = s.pen;
            o.brush = s.brush;
        };
        switch (r->iType) {
        case EMR_EXTCREATEFONTINDIRECTW: {
            auto* f = reinterpret_cast<const EMREXTCREATEFONTINDIRECTW*>(r);
            s.fonts[f->ihFont] = f->elfw.elfLogFont;
            s.kind[f->ihFont] = 1;
            ++s.rec.objectsCreated;
            break;
        }
        case EMR_CREATEPEN: {
            auto* p = reinterpret_cast<const EMRCREATEPEN*>(r);
            s.pens[p->ihPen] = p->lopn;
            s.kind[p->ihPen] = 2;
            ++s.rec.objectsCreated;
            break;
        }
        case EMR_EXTCREATEPEN: {
            auto* p = reinterpret_cast<const EMREXTCREATEPEN*>(r);
            LOGPEN lp2{};
            lp2.lopnStyle = p->elp.elpPenStyle & PS_STYLE_MASK;
            lp2.lopnWidth.x = static_cast<LONG>(p->elp.elpWidth);
            lp2.lopnColor = p->elp.elpColor;
            s.pens[p->ihPen] = lp2;
            s.kind[p->ihPen] = 2;
            ++s.rec.objectsCreated;
            break;
        }
        case EMR_CREATEBRUSHINDIRECT: {
            auto* b = reinterpret_cast<const EMRCREATEBRUSHINDIRECT*>(r);
            s.brushes[b->ihBrush] = b->lb.lbColor;
            s.kind[b->ihBrush] = 3;
            ++s.rec.objectsCreated;
            break;
        }
        case EMR_SELECTOBJECT: {
            const DWORD h = reinterpret_cast<const EMRSELECTOBJECT*>(r)->ihObject;
            if (h & 0x80000000) {  // a stock object: the painter's previous one
                const DWORD stock = h & 0x7FFFFFFF;
                if (stock == SYSTEM_FONT || stock == DEVICE_DEFAULT_FONT || stock == DEFAULT_GUI_FONT ||
                    (stock >= OEM_FIXED_FONT && stock <= SYSTEM_FIXED_FONT)) {
                    s.fontHandle = 0;
                    s.font = LOGFONTW{};
                } else if (stock >= WHITE_PEN && stock <= NULL_PEN) {
                    s.penHandle = 0;
                    s.pen = LOGPEN{};
                } else if (stock <= NULL_BRUSH) {
                    s.brushHandle = 0;
                    s.brush = CLR_INVALID;
                }
                break;
            }
            switch (s.kind[h]) {
            case 1: s.font = s.fonts[h]; s.fontHandle = h; break;
            case 2: s.pen = s.pens[h]; s.penHandle = h; break;
            case 3: s.brush = s.brushes[h]; s.brushHandle = h; break;
            default: break;
            }
            break;
        }
        case EMR_DELETEOBJECT:
            ++s.rec.objectsDeleted;
            break;
        case EMR_SETTEXTCOLOR:
            s.textColour = reinterpret_cast<const EMRSETTEXTCOLOR*>(r)->crColor;
            break;
        case EMR_EXTTEXTOUTW: {
            auto* t = reinterpret_cast<const EMREXTTEXTOUTW*>(r);
            const auto* chars = reinterpret_cast<const wchar_t*>(reinterpret_cast<const BYTE*>(r) + t->emrtext.offString);
            op.kind = DrawOp::TextOut;
            op.text.assign(chars, t->emrtext.nChars);
            op.at = POINT{t->emrtext.ptlReference.x, t->emrtext.ptlReference.y};
            stamp(op);
            s.rec.ops.push_back(op);
            break;
        }
        case EMR_POLYGON16: {
            auto* p = reinterpret_cast<const EMRPOLYGON16*>(r);
            op.kind = DrawOp::Polygon;
            for (DWORD i = 0; i < p->cpts; ++i) op.points.push_back(POINT{p->apts[i].x, p->apts[i].y});
            stamp(op);
            s.rec.ops.push_back(op);
            break;
        }
        case EMR_POLYGON: {
            auto* p = reinterpret_cast<const EMRPOLYGON*>(r);
            op.kind = DrawOp::Polygon;
            for (DWORD i = 0; i < p->cptl; ++i) op.points.push_back(POINT{p->aptl[i].x, p->aptl[i].y});
            stamp(op);
            s.rec.ops.push_back(op);
            break;
        }
        case EMR_ELLIPSE: {
            auto* e = reinterpret_cast<const EMRELLIPSE*>(r);
            op.kind = DrawOp::Ellipse;
            op.box = RECT{e->rclBox.left, e->rclBox.top, e->rclBox.right, e->rclBox.bottom};
            stamp(op);
            s.rec.ops.push_back(op);
            break;
        }
        case EMR_MOVETOEX: {
            auto* m = reinterpret_cast<const EMRMOVETOEX*>(r);
            s.cursor = POINT{m->ptl.x, m->ptl.y};
            break;
        }
        case EMR_LINETO: {
            auto* l = reinterpret_cast<const EMRLINETO*>(r);
            op.kind = DrawOp::Line;
            op.at = s.cursor;
            op.to = POINT{l->ptl.x, l->ptl.y};
            s.cursor = op.to;
            stamp(op);
            s.rec.ops.push_back(op);
            break;
        }
        default: break;
        }
        return 1;
    };
    EnumEnhMetaFile(nullptr, emf, onRecord, &state, nullptr);
    DeleteEnhMetaFile(emf);
    state.rec.stockFontAtEnd = state.fontHandle == 0;
    state.rec.stockPenAtEnd = state.penHandle == 0;
    state.rec.stockBrushAtEnd = state.brushHandle == 0;
    return state.rec;
}

// An information context of the PDF printer at the given resolution, or null
// when this machine has no such printer.
inline HDC PrinterReference(int dpi) {
    HANDLE printer = nullptr;
    wchar_t name[] = L"PDF";
    if (!OpenPrinterW(name, &printer, nullptr)) return nullptr;
    const LONG size = DocumentPropertiesW(nullptr, printer, name, nullptr, nullptr, 0);
    HDC dc = nullptr;
    if (size > 0) {
        std::vector<BYTE> buffer(static_cast<size_t>(size), 0);
        auto* dm = reinterpret_cast<DEVMODEW*>(buffer.data());
        if (DocumentPropertiesW(nullptr, printer, name, dm, nullptr, DM_OUT_BUFFER) == IDOK) {
            dm->dmFields |= DM_PRINTQUALITY | DM_YRESOLUTION | DM_PAPERSIZE | DM_ORIENTATION;
            dm->dmPrintQuality = static_cast<short>(dpi);
            dm->dmYResolution = static_cast<short>(dpi);
            dm->dmPaperSize = DMPAPER_A4;
            dm->dmOrientation = DMORIENT_PORTRAIT;
            dc = CreateICW(L"WINSPOOL", name, nullptr, dm);
        }
    }
    ClosePrinter(printer);
    return dc;
}

// The width of a text in a font made as the painters make theirs.
inline int TextWidth(HDC reference, const std::wstring& text, int height, int weight,
                     const wchar_t* face = L"Segoe UI") {
    HFONT font = CreateFontW(-height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, face);
    HGDIOBJ old = SelectObject(reference, font);
    SIZE size{0, 0};
    GetTextExtentPoint32W(reference, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(reference, old);
    DeleteObject(font);
    return size.cx;
}

// The whole content of a file, empty when it cannot be read.
inline std::string ReadFileBytes(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string content;
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &got, nullptr) && got > 0) content.append(buffer, got);
    CloseHandle(file);
    return content;
}

inline std::string Narrow(const std::wstring& s) {
    return ProjectManager::WStringToString(s);
}

}  // namespace printtest

// Bookmarks and internal links added to a PDF document that QPdfWriter made:
// Qt writes neither, so they go in an incremental update appended to Qt's
// bytes, which every reader applies over the original (ISO 32000-1, 7.5.6).
//
// The update holds:
// - an outline (12.3.3): an /Outlines dictionary whose items, one level deep,
//   each have a /Title (UTF-16BE text string) and a /Dest [page /Fit];
// - a new version of the /Catalog that refers to it and asks readers to open
//   with the outline shown (/PageMode /UseOutlines);
// - link annotations (12.5.6.5): /Subtype /Link with a /Rect on their page
//   and a /Dest, listed in the page's /Annots array (Qt gives every page one,
//   empty, as an object of its own: it is replaced; a page without one gets a
//   new version holding it);
// - a cross-reference section for the new and replaced objects only, and a
//   trailer whose /Prev points to Qt's section, so the original bytes stay
//   untouched.
// The page objects are found through the catalog, the page tree and Qt's
// cross-reference table (a classic "xref" table, as PDF 1.4 writes it).
#pragma once

#include <string>
#include <vector>

namespace mavrel {

struct PdfBookmark {
    std::string title;    // UTF-8
    int page;             // 0-based page index of the document
};

struct PdfLink {
    int page;             // where the link is, 0-based
    // The clickable rectangle in PDF user space: points from the bottom-left
    // corner of the page's media box.
    double left, bottom, right, top;
    int target;           // the page it leads to, 0-based
};

// Appends the update to `pdf`. False, with `pdf` unchanged, when the bytes
// are not a document this can read, or a page index is out of range.
bool addPdfNavigation(std::string& pdf, const std::vector<PdfBookmark>& bookmarks, const std::vector<PdfLink>& links);

} // namespace mavrel

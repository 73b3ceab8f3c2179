#include "fileformats.h"

#include "document/chartformats.h"
#include "print/pictureformats.h"
#include "sound/bandformats.h"

namespace mavrel {

// A format more is a line more: its class's registration, here or in its
// layer's list. The order is the order of the file dialogs' filters, and a
// stream takes each operation's first format.
const FormatRegistry& fileFormats()
{
    static const FormatRegistry formats = [] {
        FormatRegistry r;
        addChartFormats(r);
        addPictureFormats(r);
        addBandFormats(r);
        return r;
    }();
    return formats;
}

} // namespace mavrel

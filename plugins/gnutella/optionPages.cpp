#include "plugins/gnutella/optionPages.h"

#include "extern/rsrc/rsrcIds.h"
#include "plugins/gnutella/gnutellaInternal.h"
#include "plugins/gnutella/resources.h"

namespace vesk::gnutella {

namespace {

struct pageRow {
    unsigned title;
    unsigned parent;  // 0: a top-level page
    int icon;
    int dialog;  // 0: a group node without a page
    DLGPROC procedure;
};

const pageRow pageTree[] = {
    {IDS_GNU_PAGE_GNUTELLA, IDS_GNU_PAGE_PROTOCOLS, IDI_GNU_PAGE_GNUTELLA, 0, &options_general_proc},
    {IDS_GNU_ACTION_CONNECT, IDS_GNU_PAGE_GNUTELLA, IDI_GNU_PAGE_CONNECTIONS, IDD_GNU_CONNECTIONS,
     &options_connections_proc},
    {IDS_GNU_FIELD_SEARCH, IDS_GNU_PAGE_GNUTELLA, IDI_GNU_PAGE_SEARCH, IDD_GNU_SEARCH, &options_search_proc},
    {IDS_GNU_PAGE_NETWORK, IDS_GNU_PAGE_GNUTELLA, IDI_GNU_PAGE_NETWORK, IDD_GNU_NETWORK, &options_network_proc},
    {IDS_GNU_PAGE_TRANSFERS, 0, IDI_GNU_PAGE_TRANSFERS, IDD_GNU_TRANSFERS, &options_transfers_proc},
};

}  // namespace

void init_options() {
    LogLine("GNUTELLA INIT: beginning init_options()\r\n");
    ui::IUIControl* control = g_Services.uiControl;
    ui::IOptions* options = g_Services.options;
    if (control && options) {
        HINSTANCE language = control->GetResourceInstance();
        HINSTANCE defaults = control->GetDefaultResourceInstance();
        // The dialog keeps the title pointers: the module's loaded texts
        // live until _unload.
        for (const pageRow& row : pageTree) {
            int image = control->AddIcon(defaults, row.icon);
            options->AddPage(ResourceText(row.title), row.parent ? ResourceText(row.parent) : nullptr, image,
                             row.dialog, language, row.procedure);
        }
    }
    LogLine("GNUTELLA INIT: completed init_options()\r\n");
}

INT_PTR CALLBACK options_general_proc(HWND, UINT message, WPARAM, LPARAM) {
    return message == 1 ? 1 : 0;
}

}  // namespace vesk::gnutella

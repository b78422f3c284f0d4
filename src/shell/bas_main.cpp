#include "shell/bas_main.h"

#include "core/error.h"
#include "data/command.h"
#include "data/connection.h"
#include "data/frm_connect.h"
#include "shell/frm_main.h"
#include "shell/process_state.h"

namespace brindle {

std::unique_ptr<frmMain> Main(const Services& services) {
    gMsg = clsMsg(*services.messages);
    std::unique_ptr<frmMain> main;
    try {
        gcnDB = std::make_unique<Connection>();
        gcmdDB = std::make_unique<Command>();
        gstrDSN.clear();
        gintDocCount = 0;
        gstrSearchWord.clear();
        gblnUpperConv = false;

        main = std::make_unique<frmMain>(services);
        main->MDIForm_Load();
        main->show();
        main->MDIForm_Activate();

        {
            frmConnect dialog(*services.messages, main.get());
            services.modal->Run(dialog);
        }
        main->LoadNewDoc();
        main->SetCboTable();
        main->CatalogConnectionChanged();
        main->SetPanelText(QStringLiteral("DSN"), gstrDSN);
        // Queries of an instance that did not close are offered once the
        // program stands as it always does after start-up.
        main->RestoreCrashedQueries();
    } catch (const Error& e) {
        gMsg.ShowError(e.description());
    } catch (const std::bad_alloc&) {
        gMsg.ShowError(QStringLiteral("メモリが不足しています。"));
    }
    return main;
}

} // namespace brindle

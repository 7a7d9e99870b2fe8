// A received packet's text through the store, twice (the second time every record it names is held already, so
// updates are merged), on a fresh store each run. Nothing may crash or throw, and after each packet: the mask
// names only known bits and carries the result when it says one came; the current order is the last of list 4
// and is found by its id there; every order sits in the list of its kind.
#include "api/database.h"
#include "foundation/app_paths.h"
#include "foundation/logger.h"
#include "foundation/text_utils.h"
#include "gps/gps_manager.h"
#include "gps/manual_fix_source.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

using namespace zel_api;

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

void check_store(const database& db, const update_mask& mask) {
    check((mask.bits() & ~update_mask::known_bits) == 0);
    check(!mask.test(L"cmd-result") || mask.payload() != nullptr);
    const record_list<command::order> list_4 = db.get_orders(command::order::list_current);
    const record_ptr<command::order> current = db.get_current_order();
    check(list_4.empty() ? current == nullptr : current == list_4.back());
    if (current) {
        check(db.find_order(command::order::list_current, current->s_id) != nullptr);
    }
    for (int32_t kind = command::order::list_general; kind <= command::order::list_current; ++kind) {
        for (const auto& order : db.get_orders(kind)) {
            check(order->l_type == kind);
        }
    }
}

// The taximeter's dump goes to a folder of its own, and only fatal lines reach the log: every object of
// every input would otherwise be written out.
bool set_up() {
    zel::logger::create(zel::logger::fatal);
    std::string pattern = (std::filesystem::temp_directory_path() / "store_fuzz_XXXXXX").string();
    check(::mkdtemp(pattern.data()) != nullptr);
    static const std::filesystem::path folder = pattern;
    zel::set_app_folder(folder.wstring());
    std::atexit([] {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    });
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool ready = set_up();
    (void)ready;
    const std::wstring text = zel::utf8_to_wide(std::string(reinterpret_cast<const char*>(data), size));
    zel::gps::gps_manager service(std::make_unique<zel::gps::manual_fix_source>(),
                                  {std::chrono::milliseconds(1000), /*refresh_thread=*/false});
    zel::gps::gps_manager::set_instance(&service);
    {
        database db([](int) {});
        for (int pass = 0; pass < 2; ++pass) {
            check_store(db, db.process_packet(text));
        }
    }
    zel::gps::gps_manager::set_instance(nullptr);
    return 0;
}

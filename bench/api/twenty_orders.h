// A realistic packet of 20 orders of the four lists, some with their own rates, with Cyrillic addresses and
// braces inside strings: one UTF-8 text per order and the whole packet as the controller hands it on.
#pragma once

#include "foundation/text_utils.h"

#include <algorithm>
#include <string>
#include <vector>

namespace zel_api::bench {

inline std::string order_text(int n) {
    const std::string id = std::to_string(180000 + n);
    std::string text =
        R"({"order":{"s-id":")" + id + R"(","l-type":)" + std::to_string(1 + n % 4) + R"(,"af":{"t":"ул. Ленина, д. )" +
        std::to_string(n + 1) +
        R"(, подъезд 2","tx":"у аптеки {вход со двора}"},"at":[{"t":"Аэропорт Мурманск","tx":"терминал B"})";
    if (n % 3 == 0) {
        text += R"(,{"t":"пр. Кольский, 110","tx":""})";
    }
    text += R"(],"i":"Детское кресло, багаж","tt":)" + std::to_string(1700000000000 + n * 60000) + R"(,"ttp":)" +
            std::to_string(n % 2) + R"(,"s":)" + std::to_string(n % 9) + R"(,"sms":0,"cc":1,"ccs":0,"cts":)" +
            std::to_string(n % 15) + R"(.5,"trade":0,"icl":)" + std::to_string(n % 2) +
            R"(,"st":3,"s-tid":"T-15","lcst":1699999999000,"of":34,)" + R"("msum":)" + std::to_string(150 + n * 10) +
            R"(,"star":4,"client-phone":"+7900123)" + std::to_string(4000 + n) + R"(","dist-to-driver":)" +
            std::to_string(300 + n * 170) + R"(,"dist-to-driver-type":1,"osid":2)";
    if (n % 2 == 0) {
        text += R"(,"dt":{"mc":150.5,"p":12},"dct":{"n":"Город","cdu":15.5,"cdtu":3,"ctu":4.25,"cp":10,"dp":0,)"
                R"("pd":3,"pt":10,"p":100})";
    }
    text += "}}";
    return text;
}

// Order n as order_text gives it, always of list 1 (current orders): the list that held-order figures grow.
inline std::string current_order_text(int n) {
    std::string text = order_text(n);
    const std::string kind = R"("l-type":)";
    const size_t found = text.find(kind);
    if (found == std::string::npos) {
        return text;
    }
    const size_t at = found + kind.size();
    std::string out = text.substr(0, at);
    out += '1';
    out.append(text, std::min(text.find(',', at), text.size()));
    return out;
}

struct packet {
    std::vector<std::string> objects; // UTF-8, one per order
    std::wstring wide;                // the whole packet as the controller hands it on
    std::size_t bytes = 0;
};

inline const packet& twenty_orders() {
    static const packet p = [] {
        packet out;
        std::string utf8;
        for (int n = 0; n < 20; ++n) {
            out.objects.push_back(order_text(n));
            utf8 += out.objects.back() + "\r\n";
        }
        out.bytes = utf8.size();
        out.wide = zel::utf8_to_wide(utf8);
        return out;
    }();
    return p;
}

} // namespace zel_api::bench

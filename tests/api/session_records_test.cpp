#include "api/command/received/adc.h"
#include "api/command/received/callsign_info.h"
#include "api/command/received/cars.h"
#include "api/command/received/cmd_result.h"
#include "api/command/received/currency.h"
#include "api/command/received/login_reply.h"
#include "api/command/received/nda.h"
#include "api/command/received/obj_device_server.h"
#include "api/command/received/obj_main_id.h"
#include "api/command/received/obj_update.h"
#include "api/command/received/obj_zero_params.h"
#include "api/command/received/ref_area.h"
#include "api/command/received/ref_rate.h"
#include "api/command/received/ref_tariff.h"
#include "api/command/received/riv.h"
#include "api/command/received/session_fix_param.h"
#include "api/command/received/session_param.h"
#include "api/command/received/upload_uuid_reply.h"
#include "api/json/type_error.h"
#include "fixture.h"

#include <gtest/gtest.h>

namespace zel_api::command {
namespace {

using test::fixture_object;
using test::parse_fixture;

TEST(session_param_record, fixtures) {
    const session_param full = parse_fixture<session_param>("session_param_full");
    EXPECT_EQ(full.dt, 1700000000123);
    EXPECT_EQ(full.tzo, 10800000);
    EXPECT_EQ(full.area_id, 12);
    EXPECT_EQ(full.area_queue, 3);
    EXPECT_EQ(full.driver_status, 4);
    EXPECT_EQ(full.balance, -150.75f);
    EXPECT_EQ(full.track_ss_enable, true);
    EXPECT_EQ(full.oac, 2);
    EXPECT_EQ(full.opt_parking_filter, false);
    EXPECT_EQ(full.car, L"Лада");
    EXPECT_EQ(full.callsign, L"A1");
    EXPECT_EQ(full.car_regnum, L"А123ВС[77]");
    EXPECT_EQ(full.car_color, L"белый");
    EXPECT_EQ(full.car_name, L"Гранта");

    const session_param minimal = parse_fixture<session_param>("session_param_min");
    EXPECT_FALSE(minimal.dt || minimal.tzo || minimal.area_id || minimal.area_queue || minimal.driver_status ||
                 minimal.balance || minimal.track_ss_enable || minimal.oac || minimal.opt_parking_filter);
    EXPECT_TRUE(minimal.car.empty() && minimal.callsign.empty() && minimal.car_name.empty());
}

TEST(session_param_record, later_texts_keep_what_they_lack) {
    session_param held;
    held.from_json(LR"({"session-param":{"balance":12}})");
    held.from_json(LR"({"session-param":{"callsign":"A1"}})");
    EXPECT_EQ(held.balance, 12.0f);
    EXPECT_EQ(held.callsign, L"A1");
}

TEST(small_records, fixtures) {
    const auto fix = parse_fixture<session_fix_param>("session_fix_param_full");
    EXPECT_EQ(fix.sid, 555);
    EXPECT_EQ(fix.driver_id, 77);
    EXPECT_EQ(fix.account, 9001);
    EXPECT_EQ(fix.driver_fio, L"Иванов Иван Иванович");
    const auto fix_min = parse_fixture<session_fix_param>("session_fix_param_min");
    EXPECT_EQ(fix_min.driver_id, 78);
    EXPECT_EQ(fix_min.sid, 0);
    EXPECT_TRUE(fix_min.driver_fio.empty());

    const auto zero = parse_fixture<obj_zero_params>("obj_zero_params_full");
    EXPECT_EQ(zero.sms, L"+79009998877");
    EXPECT_EQ(zero.track_srv_ip, L"10.0.0.5");
    EXPECT_TRUE(zero.noprofile);
    EXPECT_EQ(zero.sms_key, L"MRV");
    const auto zero_min = parse_fixture<obj_zero_params>("obj_zero_params_min");
    EXPECT_FALSE(zero_min.noprofile);
    EXPECT_TRUE(zero_min.sms.empty() && zero_min.sms_key.empty());

    EXPECT_EQ(parse_fixture<obj_main_id>("obj_main_id_full").main_id, L"a1b2c3d4e5f6");
    EXPECT_EQ(parse_fixture<obj_main_id>("obj_main_id_min").main_id, L"f6e5");

    const auto update = parse_fixture<obj_update>("obj_update_full");
    EXPECT_EQ(update.device_type, 1);
    EXPECT_EQ(update.version, L"3.5.0.1300");
    EXPECT_EQ(update.srv_ftp, L"ftp.example.org");
    EXPECT_EQ(update.ftp_path, L"public/pdaupdate/");
    EXPECT_EQ(update.man, 0);
    const auto update_min = parse_fixture<obj_update>("obj_update_min");
    EXPECT_EQ(update_min.version, L"3.5.0.1301");
    EXPECT_EQ(update_min.man, 0);

    EXPECT_EQ(parse_fixture<currency>("currency_full").precision(), 0.5f);
    EXPECT_EQ(parse_fixture<currency>("currency_min").precision(), 1.0f);

    const auto area = parse_fixture<ref_area>("ref_area_full");
    EXPECT_EQ(area.id, 12);
    EXPECT_EQ(area.n, L"Центр");
    EXPECT_EQ(area.t, 2);
    EXPECT_EQ(area.cid, (std::vector<int64_t>{101, 102, 103}));
    const auto area_min = parse_fixture<ref_area>("ref_area_min");
    EXPECT_EQ(area_min.id, 13);
    EXPECT_TRUE(area_min.cid.empty());

    const auto rate = parse_fixture<ref_rate>("ref_rate_full");
    EXPECT_EQ(rate.id, 5);
    EXPECT_EQ(rate.n, L"Вежливость");
    EXPECT_EQ(rate.t, 1);
    EXPECT_EQ(rate.max, 10);
    EXPECT_EQ(rate.o, 2);
    EXPECT_EQ(parse_fixture<ref_rate>("ref_rate_min").max, 0);

    EXPECT_EQ(parse_fixture<riv>("riv_full").v, 7);
    EXPECT_EQ(parse_fixture<riv>("riv_min").id, 6);
    const auto a = parse_fixture<adc>("adc_full");
    EXPECT_EQ(a.id + a.c + a.q, 107);
    EXPECT_EQ(parse_fixture<adc>("adc_min").q, 0);
    const auto d = parse_fixture<nda>("nda_full");
    EXPECT_EQ(d.id + d.c, 21);
    EXPECT_EQ(parse_fixture<nda>("nda_min").c, 0);

    const auto sign = parse_fixture<callsign_info>("callsign_info_full");
    EXPECT_EQ(sign.callsign_name, L"Сокол-7");
    EXPECT_EQ(sign.driver_id, 77);
    EXPECT_EQ(parse_fixture<callsign_info>("callsign_info_min").driver_id, 78);

    const auto failed = parse_fixture<cmd_result>("cmd_result_full");
    EXPECT_EQ(failed.cmd_name, L"login");
    EXPECT_FALSE(failed.ok);
    EXPECT_EQ(failed.err, L"Неверный PIN");
    const auto done = parse_fixture<cmd_result>("cmd_result_min");
    EXPECT_EQ(done.cmd_name, L"set-parking");
    EXPECT_TRUE(done.ok);
    EXPECT_TRUE(done.err.empty());
}

TEST(cmd_result_record, ok_is_any_non_zero_integer) {
    cmd_result result;
    result.from_json(LR"({"cmd-result":{"ok":2}})");
    EXPECT_TRUE(result.ok);
    EXPECT_THROW(result.from_json(LR"({"cmd-result":{"ok":true}})"), json::type_error);
}

TEST(cars_record, fixtures_and_appending) {
    cars list = parse_fixture<cars>("cars_full");
    ASSERT_EQ(list.freecars.size(), 2u);
    EXPECT_EQ(list.freecars[0].id, 1);
    EXPECT_EQ(list.freecars[0].color, L"белый");
    EXPECT_EQ(list.freecars[0].regnum, L"А123ВС[77]");
    EXPECT_EQ(list.freecars[0].name, L"Лада Гранта");
    EXPECT_EQ(list.freecars[1].name, L"Киа Рио");
    list.from_json(fixture_object("cars_full"));
    EXPECT_EQ(list.freecars.size(), 4u);
    EXPECT_TRUE(parse_fixture<cars>("cars_min").freecars.empty());
}

TEST(obj_device_server_record, fixtures) {
    const auto server = parse_fixture<obj_device_server>("obj_device_server_full");
    EXPECT_EQ(server.db_type, 2);
    EXPECT_EQ(server.city_id, 7);
    EXPECT_EQ(server.org_id, 42);
    EXPECT_EQ(server.n, L"Такси Север");
    EXPECT_EQ(server.city_name, L"Мурманск");
    EXPECT_EQ(server.get_server_addrs(), (std::vector<std::wstring>{L"10.0.0.1:2000:main", L"10.0.0.2:2000:backup"}));
    const auto minimal = parse_fixture<obj_device_server>("obj_device_server_min");
    EXPECT_EQ(minimal.org_id, 43);
    EXPECT_EQ(minimal.server_addr.size(), 1u);
    EXPECT_TRUE(minimal.city_name.empty());
}

TEST(obj_device_server_record, server_list_text_reads_back_the_same_record) {
    const auto server = parse_fixture<obj_device_server>("obj_device_server_full");
    const std::wstring text = server.to_json();
    EXPECT_EQ(text, LR"({"obj-device-server":{"db-type":2,"city-id":7,"n":"Такси Север","org-id":42,)"
                    LR"("server-addr":["10.0.0.1:2000:main","10.0.0.2:2000:backup"],"city-name":"Мурманск"}})");
    obj_device_server back;
    back.from_json(text);
    EXPECT_EQ(back.to_json(), text);
    EXPECT_EQ(back.city_name, L"Мурманск");

    obj_device_server negative;
    negative.city_id = -5;
    negative.from_json(negative.to_json());
    EXPECT_EQ(negative.city_id, -5);
    EXPECT_EQ(obj_device_server().to_json(),
              LR"({"obj-device-server":{"db-type":0,"city-id":0,"n":"","org-id":0,"server-addr":[],"city-name":""}})");
}

TEST(ref_tariff_record, fixtures_and_builder) {
    const auto tariff = parse_fixture<ref_tariff>("ref_tariff_full");
    EXPECT_EQ(tariff.s_id, L"T-15");
    EXPECT_EQ(tariff.t, 1);
    EXPECT_EQ(tariff.s, 18446744073709551615u);
    EXPECT_EQ(tariff.n, L"Городской");
    EXPECT_EQ(tariff.pp, 99.5f);
    EXPECT_EQ(tariff.pp_dist, 3);
    EXPECT_EQ(tariff.pp_time, 10);
    EXPECT_EQ(tariff.btax_dist, 15.5f);
    EXPECT_EQ(tariff.btax_time, 4.0f);
    EXPECT_EQ(tariff.mdist_btax, 12.0f);
    EXPECT_EQ(tariff.mtime_btax, 5);
    EXPECT_EQ(tariff.atax_dist, 20.0f);
    EXPECT_EQ(tariff.atax_time, 6.0f);
    EXPECT_EQ(tariff.speed_limit, 20);
    EXPECT_EQ(tariff.max_pay_sum_lsl, 300.0f);
    EXPECT_EQ(tariff.min_sum_prio, 2);
    EXPECT_EQ(tariff.to_json(),
              LR"({"ref-tariff":{"s-id":"T-15","t":1,"s":18446744073709551615,"n":"Городской","pp":99.5,"pp-dist":3,)"
              LR"("pp-time":10,"btax-dist":15.5,"btax-time":4.0,"mdist-btax":12.0,"mtime-btax":5,"atax-dist":20.0,)"
              LR"("atax-time":6.0,"speed-limit":20,"max-pay-sum-lsl":300.0,"min-sum-prio":2}})");

    const auto minimal = parse_fixture<ref_tariff>("ref_tariff_min");
    EXPECT_FALSE(minimal.pp || minimal.pp_dist || minimal.pp_time || minimal.btax_dist || minimal.btax_time ||
                 minimal.mdist_btax || minimal.mtime_btax || minimal.atax_dist || minimal.atax_time ||
                 minimal.speed_limit || minimal.max_pay_sum_lsl || minimal.min_sum_prio);
    EXPECT_EQ(minimal.to_json(), LR"({"ref-tariff":{"s-id":"T-16","t":0,"s":0,"n":""}})");
}

TEST(login_reply_record, fixtures) {
    const auto full = parse_fixture<login_reply>("login_reply_full");
    EXPECT_EQ(full.status, L"error");
    ASSERT_EQ(full.errors.size(), 2u);
    EXPECT_EQ(full.errors[0].id, L"17");
    EXPECT_EQ(full.errors[0].text, L"Неверный код");
    EXPECT_EQ(full.errors[1].text, L"Повторите");
    EXPECT_EQ(full.text, L"Регистрация не выполнена");
    EXPECT_EQ(full.login, L"79001234567");
    const auto minimal = parse_fixture<login_reply>("login_reply_min");
    EXPECT_EQ(minimal.status, L"ok");
    EXPECT_TRUE(minimal.errors.empty());
}

TEST(login_reply_record, errors_replace_the_default_item_only_when_the_answer_has_them) {
    const reply_error unreachable(L"", L"Не удается подключиться к серверу регистрации устройств.");
    for (const wchar_t* answer : {L"", L"<html>502</html>", L"[]", LR"({"status":"ok","errors":{}})"}) {
        login_reply reply;
        reply.errors.push_back(unreachable);
        EXPECT_ANY_THROW(reply.from_json(answer)) << answer;
        ASSERT_EQ(reply.errors.size(), 1u) << answer;
        EXPECT_EQ(reply.errors[0].text, unreachable.text);
        EXPECT_TRUE(reply.status.empty());
    }
    login_reply reply;
    reply.errors.push_back(unreachable);
    reply.from_json(LR"({"status":"ok","errors":[]})");
    EXPECT_TRUE(reply.errors.empty());
}

TEST(upload_uuid_reply_record, fixtures) {
    EXPECT_EQ(parse_fixture<upload_uuid_reply>("upload_uuid_reply_full").uuid, L"123e4567-e89b-12d3-a456-426614174000");
    EXPECT_EQ(parse_fixture<upload_uuid_reply>("upload_uuid_reply_min").uuid, L"");
}

} // namespace
} // namespace zel_api::command

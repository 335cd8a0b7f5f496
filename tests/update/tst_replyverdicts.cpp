#include "update/KeyScanner.h"
#include "update/ReplyVerdicts.h"

#include <QtTest>

using ReplyVerdicts::ChunkedUpdateResult;
using ReplyVerdicts::ComponentResult;
using ReplyVerdicts::Verdict;

Q_DECLARE_METATYPE(Verdict)
Q_DECLARE_METATYPE(ComponentResult::State)
Q_DECLARE_METATYPE(ChunkedUpdateResult::State)

class ReplyVerdictsTest : public QObject
{
    Q_OBJECT

private slots:
    void okText_data();
    void okText();
    void keyScannerMovesForward();
    void keyScannerEdges_data();
    void keyScannerEdges();
    void fileCheck_data();
    void fileCheck();
    void updateResult_data();
    void updateResult();
    void legacyUpload_data();
    void legacyUpload();
    void cleanJsonAcceptsCommentsAndTrailingCommas();
    void chunkedFileCheck_data();
    void chunkedFileCheck();
    void chunkedUpdateResult_data();
    void chunkedUpdateResult();
    void hostileRepliesNeverSucceed_data();
    void hostileRepliesNeverSucceed();
};

void ReplyVerdictsTest::okText_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("ok");
    QTest::newRow("plain") << QByteArray("OK") << true;
    QTest::newRow("crlf after") << QByteArray("OK\r\n") << true;
    QTest::newRow("cr between") << QByteArray("O\rK") << true;
    QTest::newRow("lf around") << QByteArray("\nOK\n\n") << true;
    QTest::newRow("lower case") << QByteArray("ok") << false;
    QTest::newRow("space") << QByteArray("OK ") << false;
    QTest::newRow("empty") << QByteArray() << false;
    QTest::newRow("more text") << QByteArray("OK, done") << false;
    QTest::newRow("NG") << QByteArray("NG\r\n") << false;
}

void ReplyVerdictsTest::okText()
{
    QFETCH(QByteArray, body);
    QFETCH(bool, ok);
    QCOMPARE(ReplyVerdicts::isOkText(body), ok);
}

void ReplyVerdictsTest::keyScannerMovesForward()
{
    KeyScanner scanner(R"({"result_code":10, "x":{"result_code": "20"}, "result_code" : 30})");
    QCOMPARE(scanner.next("result_code"), QByteArray("10"));
    QCOMPARE(scanner.next("result_code"), QByteArray("20"));
    // The last member is ended by the closing brace.
    QCOMPARE(scanner.next("result_code"), QByteArray("30"));
    const int cursor = scanner.cursor();
    QCOMPARE(scanner.next("result_code"), QByteArray());
    QCOMPARE(scanner.cursor(), cursor);
}

void ReplyVerdictsTest::keyScannerEdges_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<bool>("number");
    QTest::newRow("ended by brace") << QByteArray(R"({"upload":100})") << QByteArray("100") << true;
    QTest::newRow("brace then comma") << QByteArray(R"({"a":{"upload":7},"b":1})") << QByteArray("7") << true;
    QTest::newRow("quoted number") << QByteArray(R"({"upload": " 2 "})") << QByteArray("2") << true;
    QTest::newRow("no colon") << QByteArray(R"("upload")") << QByteArray() << false;
    QTest::newRow("no terminator") << QByteArray(R"({"upload": 5)") << QByteArray() << false;
    QTest::newRow("unquoted key is not the key") << QByteArray(R"({upload: 5})") << QByteArray() << false;
    QTest::newRow("word") << QByteArray(R"({"upload": true})") << QByteArray("true") << false;
    QTest::newRow("huge") << QByteArray(R"({"upload": 99999999999999999999})") << QByteArray("99999999999999999999") << false;
    QTest::newRow("fraction") << QByteArray(R"({"upload": 1.5})") << QByteArray("1.5") << false;
    QTest::newRow("negative") << QByteArray(R"({"upload": -3})") << QByteArray("-3") << true;
}

void ReplyVerdictsTest::keyScannerEdges()
{
    QFETCH(QByteArray, body);
    QFETCH(QByteArray, value);
    QFETCH(bool, number);
    KeyScanner scanner(body);
    const QByteArray read = scanner.next("upload");
    QCOMPARE(read, value);
    QCOMPARE(KeyScanner::toNumber(read, nullptr), number);
}

void ReplyVerdictsTest::fileCheck_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("component");
    QTest::addColumn<Verdict>("verdict");

    const QByteArray onlyUpload1(R"({"upload":1})");
    QTest::newRow("upload 1 before upload: ready") << onlyUpload1 << -1 << Verdict::Ready;
    QTest::newRow("upload 1 after upload: in progress") << onlyUpload1 << 0 << Verdict::InProgress;
    QTest::newRow("upload 0") << QByteArray(R"({"upload":0})") << 0 << Verdict::InProgress;
    QTest::newRow("upload 3") << QByteArray(R"({"upload":3})") << 0 << Verdict::Failure;
    QTest::newRow("no upload key") << QByteArray(R"({"paccheck_result":100})") << 0 << Verdict::Failure;
    QTest::newRow("upload not a number") << QByteArray(R"({"upload":"x"})") << -1 << Verdict::Failure;
    QTest::newRow("pac 50") << QByteArray(R"({"upload":2,"paccheck_result":50})") << 0 << Verdict::InProgress;
    QTest::newRow("pac 101") << QByteArray(R"({"upload":2,"paccheck_result":101})") << 0 << Verdict::Failure;
    QTest::newRow("pac missing") << QByteArray(R"({"upload":2})") << 0 << Verdict::Failure;
    QTest::newRow("pac 100 and no result codes: in progress")
        << QByteArray(R"({"upload":2,"paccheck_result":100})") << 0 << Verdict::InProgress;
    const QByteArray three(R"({"upload":2,"paccheck_result":100,"fw":[{"result_code":100},{"result_code":40},{"result_code":255}]})");
    QTest::newRow("component 1 done") << three << 0 << Verdict::Success;
    QTest::newRow("component 2 checking") << three << 1 << Verdict::InProgress;
    QTest::newRow("component 3 failed") << three << 2 << Verdict::Failure;
    QTest::newRow("component 4 missing") << three << 3 << Verdict::InProgress;
    QTest::newRow("before upload, entries read until missing") << three << -1 << Verdict::InProgress;
    QTest::newRow("result code not a number")
        << QByteArray(R"({"upload":2,"paccheck_result":100,"fw":[{"result_code":"abc"}]})") << 0 << Verdict::Failure;
    QTest::newRow("last member ended by brace")
        << QByteArray(R"({"upload":2,"paccheck_result":100,"fw":[{"result_code":100}]})") << 0 << Verdict::Success;
}

void ReplyVerdictsTest::fileCheck()
{
    QFETCH(QByteArray, body);
    QFETCH(int, component);
    QFETCH(Verdict, verdict);
    QCOMPARE(ReplyVerdicts::fileCheckVerdict(body, component), verdict);
}

void ReplyVerdictsTest::updateResult_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("component");
    QTest::addColumn<ComponentResult::State>("state");
    QTest::addColumn<int>("percent");
    const QByteArray body(R"({"a":[{"result_code":204},{"result_code":55},{"result_code":202},{"result_code":300},{"result_code":0}]})");
    QTest::newRow("done") << body << 0 << ComponentResult::State::Done << 100;
    QTest::newRow("55 percent") << body << 1 << ComponentResult::State::InProgress << 55;
    QTest::newRow("202 is 0 percent") << body << 2 << ComponentResult::State::InProgress << 0;
    QTest::newRow("300 failed") << body << 3 << ComponentResult::State::Failed << 0;
    QTest::newRow("0 percent") << body << 4 << ComponentResult::State::InProgress << 0;
    QTest::newRow("missing entry failed") << body << 5 << ComponentResult::State::Failed << 0;
    QTest::newRow("garbage") << QByteArray("<html>busy</html>") << 0 << ComponentResult::State::Failed << 0;
}

void ReplyVerdictsTest::updateResult()
{
    QFETCH(QByteArray, body);
    QFETCH(int, component);
    QFETCH(ComponentResult::State, state);
    QFETCH(int, percent);
    const ComponentResult result = ReplyVerdicts::updateResultVerdict(body, component);
    QCOMPARE(result.state, state);
    if (state != ComponentResult::State::Failed)
        QCOMPARE(result.percent, percent);
}

void ReplyVerdictsTest::legacyUpload_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("logCode");
    QTest::newRow("written") << QByteArray("<p>File written successfully</p>") << 0;
    QTest::newRow("writing") << QByteArray("Image file writing. Please wait") << 3;
    QTest::newRow("both: written wins") << QByteArray("Image file writing.\nFile written successfully") << 0;
    QTest::newRow("other") << QByteArray("Error") << -1;
    QTest::newRow("empty") << QByteArray() << -1;
}

void ReplyVerdictsTest::legacyUpload()
{
    QFETCH(QByteArray, body);
    QFETCH(int, logCode);
    QCOMPARE(ReplyVerdicts::legacyUploadLogCode(ReplyVerdicts::legacyUploadVerdict(body)), logCode);
}

void ReplyVerdictsTest::cleanJsonAcceptsCommentsAndTrailingCommas()
{
    bool parsed = false;
    const QJsonObject object = ReplyVerdicts::cleanJson(
        "{\n  // state of the check\n  \"paccheck_result\": \"100\",\n  \"list\": [1, 2, ],\n"
        "  \"inner\": {\"a\": 1, },\n}\n",
        &parsed);
    QVERIFY(parsed);
    QCOMPARE(object.value("paccheck_result").toString(), QString("100"));
    QCOMPARE(object.value("list").toArray().size(), 2);
    QCOMPARE(object.value("inner").toObject().value("a").toInt(), 1);

    ReplyVerdicts::cleanJson("{\"a\": [1, 2", &parsed);
    QVERIFY(!parsed);
    ReplyVerdicts::cleanJson("[1, 2]", &parsed);
    QVERIFY(!parsed);
}

void ReplyVerdictsTest::chunkedFileCheck_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("enabledMask");
    QTest::addColumn<Verdict>("verdict");
    QTest::addColumn<int>("uploadComponent");
    QTest::addColumn<int>("failedMask");

    QTest::newRow("all good") << QByteArray(R"({"paccheck_result":"100","fwcheck_result":[{"result_code":100},{"result_code":100}]})")
                              << 0b11 << Verdict::Success << 0 << 0;
    QTest::newRow("pac in progress") << QByteArray(R"({"paccheck_result":"40"})") << 0b1 << Verdict::InProgress << 0 << 0;
    QTest::newRow("pac as number is invalid") << QByteArray(R"({"paccheck_result":100})") << 0b1 << Verdict::Failure << 0 << 0b1;
    QTest::newRow("pac huge") << QByteArray(R"({"paccheck_result":"99999999999999"})") << 0b1 << Verdict::Failure << 0 << 0b1;
    QTest::newRow("second component checking")
        << QByteArray(R"({"paccheck_result":"100","fwcheck_result":[{"result_code":100},{"result_code":30}]})")
        << 0b11 << Verdict::InProgress << 1 << 0;
    QTest::newRow("second component failed")
        << QByteArray(R"({"paccheck_result":"100","fwcheck_result":[{"result_code":100},{"result_code":300}]})")
        << 0b11 << Verdict::Failure << 1 << 0b10;
    QTest::newRow("disabled component ignored")
        << QByteArray(R"({"paccheck_result":"100","fwcheck_result":[{"result_code":100},{"result_code":300}]})")
        << 0b01 << Verdict::Success << 0 << 0;
    QTest::newRow("missing result code is an error")
        << QByteArray(R"({"paccheck_result":"100","fwcheck_result":[{"other":1}]})") << 0b1 << Verdict::Failure << 0 << 0b1;
    QTest::newRow("in progress wins over error")
        << QByteArray(R"({"paccheck_result":"100","fwcheck_result":[{"result_code":500},{"result_code":5}]})")
        << 0b11 << Verdict::InProgress << 1 << 0b01;
    QTest::newRow("truncated") << QByteArray(R"({"paccheck_result":"100","fwch)") << 0b1 << Verdict::Failure << 0 << 0b1;
}

void ReplyVerdictsTest::chunkedFileCheck()
{
    QFETCH(QByteArray, body);
    QFETCH(int, enabledMask);
    QFETCH(Verdict, verdict);
    QFETCH(int, uploadComponent);
    QFETCH(int, failedMask);
    std::array<bool, 6> enabled{};
    for (int i = 0; i < 6; ++i)
        enabled[i] = enabledMask & (1 << i);
    const ReplyVerdicts::ChunkedFileCheck check = ReplyVerdicts::chunkedFileCheckVerdict(body, enabled, 0);
    QCOMPARE(check.verdict, verdict);
    QCOMPARE(check.uploadComponent, uploadComponent);
    int failed = 0;
    for (int i = 0; i < 6; ++i)
        failed |= check.failed[i] ? 1 << i : 0;
    QCOMPARE(failed, failedMask);
}

void ReplyVerdictsTest::chunkedUpdateResult_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<ChunkedUpdateResult::State>("state");
    QTest::addColumn<int>("component");
    QTest::addColumn<int>("percent");
    QTest::addColumn<bool>("current");
    QTest::newRow("empty list: finished") << QByteArray(R"({"update_sts":[]})") << ChunkedUpdateResult::State::Finished << -1 << -1 << false;
    QTest::newRow("42 percent") << QByteArray(R"({"update_sts":[{"Firmware":2,"result_code":42}]})")
                                << ChunkedUpdateResult::State::InProgress << 1 << 42 << true;
    // 100 is a percentage like any other: the component it names is the one in work.
    QTest::newRow("100 percent") << QByteArray(R"({"update_sts":[{"Firmware":3,"result_code":100}]})")
                                 << ChunkedUpdateResult::State::InProgress << 2 << 100 << true;
    QTest::newRow("202") << QByteArray(R"({"update_sts":[{"Firmware":1,"result_code":202}]})")
                         << ChunkedUpdateResult::State::InProgress << 0 << 100 << false;
    QTest::newRow("204") << QByteArray(R"({"update_sts":[{"Firmware":1,"result_code":204}]})")
                         << ChunkedUpdateResult::State::Finished << 0 << 100 << false;
    QTest::newRow("failed") << QByteArray(R"({"update_sts":[{"Firmware":3,"result_code":500}]})")
                            << ChunkedUpdateResult::State::Failure << 2 << -1 << true;
    QTest::newRow("firmware 5 is outside") << QByteArray(R"({"update_sts":[{"Firmware":5,"result_code":1}]})")
                                           << ChunkedUpdateResult::State::Finished << -1 << -1 << false;
    QTest::newRow("huge result code fails") << QByteArray(R"({"update_sts":[{"Firmware":1,"result_code":1e300}]})")
                                            << ChunkedUpdateResult::State::Failure << 0 << -1 << true;
    QTest::newRow("with comments") << QByteArray("{\"update_sts\":[{\"Firmware\":1, // first\n\"result_code\":7,},]}")
                                   << ChunkedUpdateResult::State::InProgress << 0 << 7 << true;
    // A cut reply is not a finished update.
    QTest::newRow("truncated") << QByteArray(R"({"update_sts":[{"Firmware":1,"result_co)")
                               << ChunkedUpdateResult::State::InProgress << -1 << -1 << false;
    QTest::newRow("not json") << QByteArray("<html>") << ChunkedUpdateResult::State::InProgress << -1 << -1 << false;
}

void ReplyVerdictsTest::chunkedUpdateResult()
{
    QFETCH(QByteArray, body);
    QFETCH(ChunkedUpdateResult::State, state);
    QFETCH(int, component);
    QFETCH(int, percent);
    QFETCH(bool, current);
    const ChunkedUpdateResult result = ReplyVerdicts::chunkedUpdateResultVerdict(body);
    QCOMPARE(result.state, state);
    QCOMPARE(result.component, component);
    QCOMPARE(result.percent, percent);
    QCOMPARE(result.current, current);
}

void ReplyVerdictsTest::hostileRepliesNeverSucceed_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("binary") << QByteArray("\x00\xff\"upload\":\x00", 12);
    QTest::newRow("repeated keys without values") << QByteArray(R"("result_code":,"result_code":,"result_code":})").repeated(1000);
    QTest::newRow("deep nesting") << QByteArray(10000, '[');
    QTest::newRow("key at the very end") << QByteArray(R"({"upload":2,"paccheck_result":100,"result_code")");
}

void ReplyVerdictsTest::hostileRepliesNeverSucceed()
{
    QFETCH(QByteArray, body);
    for (int c = -1; c < 6; ++c) {
        QVERIFY(ReplyVerdicts::fileCheckVerdict(body, c) != Verdict::Success);
        QVERIFY(ReplyVerdicts::updateResultVerdict(body, c).state != ComponentResult::State::Done);
    }
    QVERIFY(!ReplyVerdicts::isOkText(body));
    QVERIFY(ReplyVerdicts::chunkedUpdateResultVerdict(body).state != ChunkedUpdateResult::State::Finished);
    std::array<bool, 6> enabled{ true };
    QVERIFY(ReplyVerdicts::chunkedFileCheckVerdict(body, enabled, 0).verdict != Verdict::Success);
}

QTEST_APPLESS_MAIN(ReplyVerdictsTest)
#include "tst_replyverdicts.moc"

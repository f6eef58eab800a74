#include "FakeInterface.h"
#include "QLabNetworkPatchWriter.h"

#include <OscDatagram.h>
#include <OscDispatch.h>
#include <OscMessage.h>
#include <OscProcInterface.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QStringList>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace {

using ::testing::NiceMock;
using ::testing::Return;

// Where a parameter or condition sits: "root", or the condition path ("song", "song, play").
struct ParameterRow {
    const char* where;
    const char* key;
    const char* displayName;  // "" when the object has none
    const char* type;
    const char* defaultValue;
    bool hidden;
    std::vector<std::pair<QString, QString>> values;  // label, value
    bool fadeable;
};

struct ConditionRow {
    const char* where;
    const char* predicate;
    const char* messageTemplate;
    QStringList parameters;
    QStringList nested;
};

// The document for a show whose first song number is "3".
const std::vector<ParameterRow> kParameters = {
    {"root", "prefix", "", "string", "/brix", true, {}, false},
    {"root", "message", "Message", "menu", "song", false,
     {{"Song", "song"}, {"Event", "event"}, {"SFX", "sfx"}, {"General", "general"}}, false},
    {"song", "action", "Action", "menu", "play", false,
     {{"Play", "play"}, {"Fade Out", "fadeout"}, {"Fade To", "fadeto"}, {"Volume", "volume"}}, false},
    {"song, play", "songnumber", "Song Number", "string", "3", false, {}, false},
    {"song, fadeout", "timevalue", "Fade Time (sec)", "string", "3.0", false, {}, false},
    {"song, fadeto", "dbvalue", "Target Volume (dB)", "scalar", "-6.0", false, {}, false},
    {"song, fadeto", "timevalue", "Fade Time (sec)", "scalar", "1.0", false, {}, false},
    {"song, volume", "dbvalue", "Target Volume (dB)", "scalar", "-6.0", false, {}, true},
    {"event", "eventid", "Target Event ID", "string", "", false, {}, false},
    {"event", "eventaction", "Action", "menu", "go", true, {{"Go", "go"}}, false},
    {"sfx", "sfxid", "Target Sfx ID", "string", "", false, {}, false},
    {"sfx", "sfxaction", "Action", "menu", "play", false,
     {{"Play/Fade In", "play"}, {"Stop/Fade Out", "stop"}, {"Fade To", "fadeto"}}, false},
    {"sfx, fadeto", "dbvalue", "Target Volume (dB)", "scalar", "-6.0", false, {}, false},
    {"sfx, fadeto", "timevalue", "Fade Time (sec)", "scalar", "1.0", false, {}, false},
    {"general", "action", "Action", "menu", "advance", false,
     {{"Advance", "advance"}, {"Pause", "pause"}, {"Stop", "stop"}, {"Custom", "customcmd"}}, false},
    {"general, customcmd", "custommsg", "Custom Command", "string", "", false, {}, false},
};

const std::vector<ConditionRow> kConditions = {
    {"song", "message == 'song'", "{prefix}/{action}", {"action"}, {"play", "fadeout", "fadeto", "volume"}},
    {"song, play", "action == 'play'", "{prefix}/song/{songnumber}/{action}", {"songnumber"}, {}},
    {"song, fadeout", "action == 'fadeout'", "{prefix}/{action} {timevalue}", {"timevalue"}, {}},
    {"song, fadeto", "action == 'fadeto'", "{prefix}/{action} {dbvalue} {timevalue}", {"dbvalue", "timevalue"}, {}},
    {"song, volume", "action == 'volume'", "{prefix}/volume {dbvalue}", {"dbvalue"}, {}},
    {"event", "message == 'event'", "{prefix}/{message}/{eventid}/{eventaction}", {"eventid", "eventaction"}, {}},
    {"sfx", "message == 'sfx'", "{prefix}/{message}/{sfxid}/{sfxaction}", {"sfxid", "sfxaction"}, {"fadeto"}},
    {"sfx, fadeto", "sfxaction == 'fadeto'", "{prefix}/{message}/{sfxid}/fadeto {dbvalue} {timevalue}",
     {"dbvalue", "timevalue"}, {}},
    {"general", "message == 'general'", "{prefix}/{action}", {"action"}, {"pause", "customcmd"}},
    {"general, pause", "action == 'pause'", "{prefix}/{action}", {}, {}},
    {"general, customcmd", "action == 'customcmd'", "{prefix}/{custommsg}", {"custommsg"}, {}},
};

const ConditionRow* ExpectedCondition(const QString& where)
{
    for (const ConditionRow& row : kConditions) {
        if (where == QLatin1String(row.where))
            return &row;
    }
    return nullptr;
}

std::shared_ptr<musical_test::FakeInterface> EngineWithSongs(const Interface::SongNames& songs)
{
    auto engine = std::make_shared<NiceMock<musical_test::FakeInterface>>();
    ON_CALL(*engine, GetSongNamesBySongNumber()).WillByDefault(Return(songs));
    return engine;
}

std::string WriteText(std::shared_ptr<Interface> engine, std::uint32_t port)
{
    std::ostringstream out;
    brix::QLabNetworkPatchWriter(std::move(engine), port).Write(out);
    return out.str();
}

QJsonObject Parse(const std::string& text)
{
    QJsonParseError parseError{};
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(text), &parseError);
    EXPECT_EQ(parseError.error, QJsonParseError::NoError) << parseError.errorString().toStdString();
    EXPECT_TRUE(document.isObject());
    return document.object();
}

// The written document, read back with its conditions by path.
class WrittenPatch : public ::testing::Test {
protected:
    void SetUp() override
    {
        text_ = WriteText(EngineWithSongs({{"3", "Overture"}, {"12", "Finale"}, {"4A", "Reprise"}}), 55037);
        root_ = Parse(text_);
        Collect(root_.value("conditions").toArray(), QString(), {"song", "event", "sfx", "general"});
    }

    void Collect(const QJsonArray& array, const QString& prefix, const QStringList& names)
    {
        ASSERT_EQ(array.size(), names.size()) << "conditions under '" << prefix.toStdString() << "'";
        for (int i = 0; i < names.size(); ++i) {
            const QString where = prefix.isEmpty() ? names.at(i) : prefix + QStringLiteral(", ") + names.at(i);
            const ConditionRow* expected = ExpectedCondition(where);
            ASSERT_NE(expected, nullptr) << where.toStdString();
            conditions_[where] = array.at(i).toObject();
            Collect(conditions_[where].value("conditions").toArray(), where, expected->nested);
        }
    }

    QJsonArray ParametersAt(const QString& where) const
    {
        return (where == QLatin1String("root") ? root_ : conditions_.value(where)).value("parameters").toArray();
    }

    QJsonObject Parameter(const QString& where, const QString& key) const
    {
        for (const QJsonValue& parameter : ParametersAt(where)) {
            if (parameter.toObject().value("key").toString() == key)
                return parameter.toObject();
        }
        return {};
    }

    // The message line of a condition with every parameter on its path at its default, then `chosen`.
    QString Fill(const QString& where, const QMap<QString, QString>& chosen) const
    {
        QMap<QString, QString> values;
        QStringList path{QStringLiteral("root")};
        QString prefix;
        for (const QString& part : where.split(QStringLiteral(", "))) {
            prefix = prefix.isEmpty() ? part : prefix + QStringLiteral(", ") + part;
            path << prefix;
        }
        for (const QString& level : path) {
            for (const QJsonValue& parameter : ParametersAt(level))
                values[parameter.toObject().value("key").toString()] =
                    parameter.toObject().value("defaultValue").toString();
        }
        for (auto it = chosen.cbegin(); it != chosen.cend(); ++it)
            values[it.key()] = it.value();
        QString line = conditions_.value(where).value("template").toString();
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            line.replace(QLatin1Char('{') + it.key() + QLatin1Char('}'), it.value());
        return line;
    }

    std::string text_;
    QJsonObject root_;
    QMap<QString, QJsonObject> conditions_;
};

TEST_F(WrittenPatch, RootNamesThePatchAndItsUdpPort)
{
    EXPECT_EQ(root_.keys(), (QStringList{"api", "conditions", "displayName", "identifier", "messageType", "network",
                                         "parameters"}));
    EXPECT_EQ(root_.value("identifier").toString(),
              "com.fernwhistlestudios.qlab_network_patch_definition.qlabnetwork");
    EXPECT_EQ(root_.value("displayName").toString(), "BRIX Software");
    EXPECT_EQ(root_.value("api").toInt(), 1);
    EXPECT_EQ(root_.value("messageType").toString(), "OSC");
    EXPECT_EQ(root_.value("network").toArray(),
              (QJsonArray{QJsonObject{{"transport", "UDP"}, {"defaultPort", 55037}, {"canEditPort", true}}}));
    EXPECT_EQ(brix::QLabNetworkPatchWriter::FileName(), "qlab_network_patch_definition.qlabnetwork");

    // Indented, with each object's keys in sorted order.
    EXPECT_NE(text_.find("\n    \"api\": 1,\n    \"conditions\": ["), std::string::npos) << text_.substr(0, 200);
    EXPECT_LT(text_.find("\"identifier\""), text_.find("\"messageType\""));
}

TEST_F(WrittenPatch, EveryParameterMatchesItsRowFieldByField)
{
    EXPECT_EQ(ParametersAt("root").size(), 2);
    EXPECT_EQ(ParametersAt("root").at(0).toObject().value("key").toString(), "prefix");
    for (const ParameterRow& row : kParameters) {
        SCOPED_TRACE(std::string(row.where) + " / " + row.key);
        const QJsonObject parameter = Parameter(row.where, row.key);
        ASSERT_FALSE(parameter.isEmpty());
        QStringList keys{"defaultValue", "fadeable", "hidden", "key", "type"};
        if (*row.displayName != '\0')
            keys << "displayName";
        if (QLatin1String(row.type) == QLatin1String("string"))
            keys << "width";
        if (!row.values.empty())
            keys << "values";
        keys.sort();
        EXPECT_EQ(parameter.keys(), keys);
        EXPECT_EQ(parameter.value("type").toString(), row.type);
        EXPECT_EQ(parameter.value("displayName").toString(), row.displayName);
        EXPECT_TRUE(parameter.value("defaultValue").isString());
        EXPECT_EQ(parameter.value("defaultValue").toString(), row.defaultValue);
        EXPECT_TRUE(parameter.value("hidden").isBool());
        EXPECT_EQ(parameter.value("hidden").toBool(), row.hidden);
        EXPECT_TRUE(parameter.value("fadeable").isBool());
        EXPECT_EQ(parameter.value("fadeable").toBool(), row.fadeable);
        if (keys.contains("width")) {
            EXPECT_EQ(parameter.value("width").toVariant(), QVariant(125));
        }
        QJsonArray values;
        for (const auto& [label, value] : row.values)
            values.append(QJsonObject{{label, value}});
        EXPECT_EQ(parameter.value("values").toArray(), values);
    }
}

TEST_F(WrittenPatch, EveryConditionMatchesItsRowWithItsParametersInOrder)
{
    EXPECT_EQ(conditions_.size(), static_cast<qsizetype>(kConditions.size()));
    for (const ConditionRow& row : kConditions) {
        SCOPED_TRACE(row.where);
        const QJsonObject condition = conditions_.value(row.where);
        EXPECT_EQ(condition.value("predicate").toString(), row.predicate);
        EXPECT_EQ(condition.value("template").toString(), row.messageTemplate);
        EXPECT_EQ(condition.contains("parameters"), !row.parameters.isEmpty());
        EXPECT_EQ(condition.contains("conditions"), !row.nested.isEmpty());
        QStringList keys;
        for (const QJsonValue& parameter : condition.value("parameters").toArray())
            keys << parameter.toObject().value("key").toString();
        EXPECT_EQ(keys, row.parameters);
    }
}

// A recording command handler: one line per operation, with the song, event or sound-effect id.
class RecordingHandler : public brix::osc::OscProcInterface {
public:
    void Play(const std::string&, const std::string& song) override { calls.push_back("Play " + song); }
    void FadeOut(const std::string&, const std::string&, float) override { calls.push_back("FadeOut"); }
    void FadeTo(const std::string&, const std::string&, float, float, bool) override { calls.push_back("FadeTo"); }
    void SetVolume(float) override { calls.push_back("SetVolume"); }
    void Advance(const std::string&, const std::string&) override { calls.push_back("Advance"); }
    void PauseToggle(const std::string&, const std::string&) override { calls.push_back("PauseToggle"); }
    void NextBar(const std::string&, const std::string&) override { calls.push_back("NextBar"); }
    void AdvanceEvent(const std::string&, const std::string&, const std::string& id) override
    {
        calls.push_back("AdvanceEvent " + id);
    }
    void SfxPlay(const std::string&, const std::string& id) override { calls.push_back("SfxPlay " + id); }
    void SfxStop(const std::string&, const std::string& id) override { calls.push_back("SfxStop " + id); }
    void SfxFadeTo(const std::string&, const std::string& id, double, float) override
    {
        calls.push_back("SfxFadeTo " + id);
    }
    void ReportError(const std::string& message, const std::string&) override { calls.push_back("Error " + message); }

    std::vector<std::string> calls;
};

TEST_F(WrittenPatch, TemplatesGiveCommandLinesTheDispatcherCarriesOut)
{
    struct Case {
        const char* where;
        QMap<QString, QString> chosen;
        const char* line;
        const char* call;
    };
    const Case cases[] = {
        {"song, play", {{"songnumber", "12"}}, "/brix/song/12/play", "Play 12"},
        {"song, play", {}, "/brix/song/3/play", "Play 3"},
        {"song, fadeout", {{"action", "fadeout"}}, "/brix/fadeout 3.0", "FadeOut"},
        {"song, fadeto", {{"action", "fadeto"}}, "/brix/fadeto -6.0 1.0", "FadeTo"},
        {"song, volume", {{"action", "volume"}}, "/brix/volume -6.0", "SetVolume"},
        {"event", {{"message", "event"}, {"eventid", "E7"}}, "/brix/event/E7/go", "AdvanceEvent E7"},
        {"sfx", {{"message", "sfx"}, {"sfxid", "S2"}}, "/brix/sfx/S2/play", "SfxPlay S2"},
        {"sfx", {{"message", "sfx"}, {"sfxid", "S2"}, {"sfxaction", "stop"}}, "/brix/sfx/S2/stop", "SfxStop S2"},
        {"sfx, fadeto", {{"message", "sfx"}, {"sfxid", "S2"}}, "/brix/sfx/S2/fadeto -6.0 1.0", "SfxFadeTo S2"},
        {"general", {{"message", "general"}}, "/brix/advance", "Advance"},
        {"general, pause", {{"message", "general"}, {"action", "pause"}}, "/brix/pause", "PauseToggle"},
        {"general, customcmd", {{"message", "general"}, {"action", "customcmd"}, {"custommsg", "nextbar"}},
         "/brix/nextbar", "NextBar"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const QString line = Fill(c.where, c.chosen);
        EXPECT_EQ(line, c.line);
        const QByteArray datagram = brix::osc::BuildOscDatagram(line);
        RecordingHandler handler;
        brix::osc::Dispatch(brix::osc::OscMessage::Decode(datagram.constData(), static_cast<std::size_t>(datagram.size())),
                            &handler);
        EXPECT_EQ(handler.calls, std::vector<std::string>{c.call});
    }
}

TEST(QLabNetworkPatch, SongNumberDefaultsToTheShowsFirstSongAndPortToTheListeningPort)
{
    struct Case {
        Interface::SongNames songs;
        std::uint32_t port;
        const char* songNumber;
    };
    const Case cases[] = {
        {{{"10", "Finale"}, {"2", "Harbour"}, {"2A", "Reprise"}}, 9000, "2"},
        {{{"1", "Overture"}}, 55037, "1"},
        {{}, 55036, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.songNumber);
        const QJsonObject root = Parse(WriteText(EngineWithSongs(c.songs), c.port));
        const QJsonObject play =
            root.value("conditions").toArray().at(0).toObject().value("conditions").toArray().at(0).toObject();
        EXPECT_EQ(play.value("parameters").toArray().at(0).toObject().value("defaultValue").toString(), c.songNumber);
        EXPECT_EQ(root.value("network").toArray().at(0).toObject().value("defaultPort").toInteger(), c.port);
    }
}

TEST(QLabNetworkPatch, WithoutAnEngineNothingIsWritten)
{
    std::ostringstream out;
    const brix::QLabNetworkPatchWriter writer(nullptr, 55037);
    try {
        writer.Write(out);
        ADD_FAILURE() << "no exception";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "QLab File Writer has no data to write.");
    }
    EXPECT_TRUE(out.str().empty());
}

}  // namespace

#include "QLabNetworkPatchWriter.h"

#include <brix_player_core/Interface.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>

#include <initializer_list>
#include <stdexcept>
#include <utility>
#include <vector>

namespace brix {

namespace {

// Label shown to the user, text put into the message.
using Choices = std::vector<std::pair<const char*, const char*>>;

struct Parameter {
    const char* key;
    const char* type;
    const char* displayName;
    QString defaultValue;
    bool hidden = false;
    Choices values = {};
    bool fadeable = false;
};

QJsonObject ToJson(const Parameter& parameter)
{
    QJsonObject object{
        {"key", parameter.key},
        {"type", parameter.type},
        {"hidden", parameter.hidden},
        {"defaultValue", parameter.defaultValue},
        {"fadeable", parameter.fadeable},
    };
    if (*parameter.displayName != '\0')
        object.insert("displayName", parameter.displayName);
    if (QLatin1String(parameter.type) == QLatin1String("string"))
        object.insert("width", 125);
    if (!parameter.values.empty()) {
        QJsonArray values;
        for (const auto& [label, value] : parameter.values)
            values.append(QJsonObject{{label, value}});
        object.insert("values", values);
    }
    return object;
}

QJsonObject Condition(const char* predicate, const char* messageTemplate, std::initializer_list<Parameter> parameters,
                      const QJsonArray& conditions = {})
{
    QJsonObject object{{"predicate", predicate}, {"template", messageTemplate}};
    if (parameters.size() > 0) {
        QJsonArray array;
        for (const Parameter& parameter : parameters)
            array.append(ToJson(parameter));
        object.insert("parameters", array);
    }
    if (!conditions.isEmpty())
        object.insert("conditions", conditions);
    return object;
}

Parameter DecibelValue(bool fadeable = false)
{
    return {"dbvalue", "scalar", "Target Volume (dB)", "-6.0", false, {}, fadeable};
}

Parameter FadeSeconds(const char* type, const char* defaultValue)
{
    return {"timevalue", type, "Fade Time (sec)", defaultValue};
}

QJsonObject SongCondition(const QString& firstSongNumber)
{
    const QJsonArray actions{
        Condition("action == 'play'", "{prefix}/song/{songnumber}/{action}",
                  {{"songnumber", "string", "Song Number", firstSongNumber}}),
        Condition("action == 'fadeout'", "{prefix}/{action} {timevalue}", {FadeSeconds("string", "3.0")}),
        Condition("action == 'fadeto'", "{prefix}/{action} {dbvalue} {timevalue}",
                  {DecibelValue(), FadeSeconds("scalar", "1.0")}),
        Condition("action == 'volume'", "{prefix}/volume {dbvalue}", {DecibelValue(true)}),
    };
    return Condition("message == 'song'", "{prefix}/{action}",
                     {{"action",
                       "menu",
                       "Action",
                       "play",
                       false,
                       {{"Play", "play"}, {"Fade Out", "fadeout"}, {"Fade To", "fadeto"}, {"Volume", "volume"}}}},
                     actions);
}

QJsonObject EventCondition()
{
    return Condition("message == 'event'", "{prefix}/{message}/{eventid}/{eventaction}",
                     {{"eventid", "string", "Target Event ID", ""},
                      {"eventaction", "menu", "Action", "go", true, {{"Go", "go"}}}});
}

QJsonObject SfxCondition()
{
    const QJsonArray fadeTo{
        Condition("sfxaction == 'fadeto'", "{prefix}/{message}/{sfxid}/fadeto {dbvalue} {timevalue}",
                  {DecibelValue(), FadeSeconds("scalar", "1.0")}),
    };
    return Condition(
        "message == 'sfx'", "{prefix}/{message}/{sfxid}/{sfxaction}",
        {{"sfxid", "string", "Target Sfx ID", ""},
         {"sfxaction",
          "menu",
          "Action",
          "play",
          false,
          {{"Play/Fade In", "play"}, {"Stop/Fade Out", "stop"}, {"Fade To", "fadeto"}}}},
        fadeTo);
}

QJsonObject GeneralCondition()
{
    const QJsonArray actions{
        Condition("action == 'pause'", "{prefix}/{action}", {}),
        Condition("action == 'customcmd'", "{prefix}/{custommsg}", {{"custommsg", "string", "Custom Command", ""}}),
    };
    return Condition("message == 'general'", "{prefix}/{action}",
                     {{"action",
                       "menu",
                       "Action",
                       "advance",
                       false,
                       {{"Advance", "advance"}, {"Pause", "pause"}, {"Stop", "stop"}, {"Custom", "customcmd"}}}},
                     actions);
}

}  // namespace

QLabNetworkPatchWriter::QLabNetworkPatchWriter(std::shared_ptr<Interface> engine, std::uint32_t listenPort)
    : engine_(std::move(engine)), listenPort_(listenPort)
{
}

std::string QLabNetworkPatchWriter::FileName()
{
    return std::string("qlab_network_patch_definition") + ".qlabnetwork";
}

void QLabNetworkPatchWriter::Write(std::ostream& out) const
{
    if (!engine_)
        throw std::runtime_error("QLab File Writer has no data to write.");
    const Interface::SongNames songs = engine_->GetSongNamesBySongNumber();
    const QString firstSongNumber = songs.empty() ? QString() : QString::fromStdString(songs.begin()->first);

    const QJsonArray parameters{
        ToJson({"prefix", "string", "", "/brix", true}),
        ToJson({"message",
                "menu",
                "Message",
                "song",
                false,
                {{"Song", "song"}, {"Event", "event"}, {"SFX", "sfx"}, {"General", "general"}}}),
    };
    const QJsonObject root{
        {"identifier", QString::fromStdString("com.fernwhistlestudios." + FileName())},
        {"displayName", "BRIX Software"},
        {"api", 1},
        {"messageType", "OSC"},
        {"network",
         QJsonArray{QJsonObject{
             {"transport", "UDP"}, {"defaultPort", static_cast<qint64>(listenPort_)}, {"canEditPort", true}}}},
        {"parameters", parameters},
        {"conditions", QJsonArray{SongCondition(firstSongNumber), EventCondition(), SfxCondition(), GeneralCondition()}},
    };
    out << QJsonDocument(root).toJson(QJsonDocument::Indented).toStdString();
}

}  // namespace brix

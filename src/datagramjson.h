#ifndef DATAGRAMJSON_H
#define DATAGRAMJSON_H

#include <QByteArray>
#include <QJsonObject>

// The JSON object that a datagram carries, as QJsonDocument::fromJson(payload).object() gives
// it: an empty object for a payload that is no JSON object, and the last of several members
// with the same name. Unlike that call, it costs no memory once it returns, whatever the
// payload.
QJsonObject datagramObject(const QByteArray &payload);

#endif // DATAGRAMJSON_H

// Where a sender sends: "host:port" and its IPv6 form, and the CORVANE_ADDRESS variable.
// SPDX-License-Identifier: MIT
#include "corvane/client.h"

namespace corvane {

namespace {

bool readPort(const QString &text, quint16 *port)
{
    // Digits only: toUInt() would also take "+80" or " 80".
    if (text.isEmpty() || text.size() > 5)
        return false;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    const uint value = text.toUInt();
    if (value < 1 || value > 65535)
        return false;
    *port = quint16(value);
    return true;
}

bool isIPv6(const QString &text)
{
    QHostAddress address;
    return address.setAddress(text) && address.protocol() == QAbstractSocket::IPv6Protocol;
}

bool isHostName(const QString &text)
{
    if (text.isEmpty())
        return false;
    for (const QChar c : text) {
        if (c.isSpace() || c == QLatin1Char('/') || c == QLatin1Char('[') || c == QLatin1Char(']')
            || c == QLatin1Char(':'))
            return false;
    }
    return true;
}

} // namespace

std::optional<Address> parseAddress(const QString &text)
{
    const QString trimmed = text.trimmed();
    Address address;
    if (trimmed.startsWith(QLatin1Char('['))) {
        const int close = trimmed.indexOf(QLatin1Char(']'));
        if (close < 0)
            return std::nullopt;
        address.host = trimmed.mid(1, close - 1);
        if (!isIPv6(address.host))
            return std::nullopt;
        const QString rest = trimmed.mid(close + 1);
        if (!rest.isEmpty()
            && (!rest.startsWith(QLatin1Char(':')) || !readPort(rest.mid(1), &address.port)))
            return std::nullopt;
        return address;
    }
    const int colons = trimmed.count(QLatin1Char(':'));
    if (colons > 1) { // an IPv6 address without brackets cannot take a port
        if (!isIPv6(trimmed))
            return std::nullopt;
        address.host = trimmed;
        return address;
    }
    const int colon = trimmed.indexOf(QLatin1Char(':'));
    address.host = colon < 0 ? trimmed : trimmed.left(colon);
    if (!isHostName(address.host))
        return std::nullopt;
    if (colon >= 0 && !readPort(trimmed.mid(colon + 1), &address.port))
        return std::nullopt;
    return address;
}

QString defaultAddress()
{
    const QString fromEnvironment = qEnvironmentVariable("CORVANE_ADDRESS");
    return fromEnvironment.trimmed().isEmpty() ? QStringLiteral("127.0.0.1:%1").arg(defaultPort)
                                               : fromEnvironment;
}

} // namespace corvane

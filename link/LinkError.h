#pragma once

#include <QString>

#include <exception>
#include <string>

// A failure of the link library or of its serial object: a number and a
// description that callers show after "ERROR: ".
class LinkError : public std::exception
{
public:
    LinkError(int number, QString description)
        : mNumber(number), mDescription(std::move(description)), mWhat(mDescription.toStdString())
    {
    }

    [[nodiscard]] int number() const noexcept { return mNumber; }
    [[nodiscard]] const QString &description() const noexcept { return mDescription; }
    [[nodiscard]] const char *what() const noexcept override { return mWhat.c_str(); }

    // Numbers of the serial object (the usual port-control codes).
    static constexpr int InvalidPropertyValue = 380;
    static constexpr int InvalidPortNumber = 8002;
    static constexpr int PortAlreadyOpen = 8005;
    static constexpr int PortNotOpen = 8012;
    static constexpr int OperationNotValid = 8015;
    // Numbers of the link library's own members.
    static constexpr int NoAnswer = 30001;      // the chip did not answer in time
    static constexpr int NotReady = 30002;      // CTS stayed low
    static constexpr int FileError = 30003;     // a file could not be read or written
    static constexpr int ChipRejected = 30004;  // the chip reported a failure (description says which)
    static constexpr int Busy = 30005;          // a member is already running
    static constexpr int OutOfBounds = 30006;   // the chip announced more than it can hold
    static constexpr int NotDownloadable = 30007; // a file that is empty, too large or not of its kind

private:
    int mNumber;
    QString mDescription;
    std::string mWhat;
};

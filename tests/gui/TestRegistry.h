#pragma once
// The GUI test classes register themselves here; TestMain runs them.

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

namespace guitest {

struct Suite {
    QString name;
    std::function<std::unique_ptr<QObject>()> make;
};

inline std::vector<Suite>& Suites() {
    static std::vector<Suite> suites;
    return suites;
}

template <typename T>
struct Register {
    explicit Register(const char* name) {
        Suites().push_back({QString::fromUtf8(name), [] { return std::make_unique<T>(); }});
    }
};

}  // namespace guitest

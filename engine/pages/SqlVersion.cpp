#include "pages/SqlVersion.h"

#include <array>
#include <utility>

namespace pw {

namespace {

constexpr std::uint16_t kLastSql2000Version = 539;

constexpr std::array<std::pair<std::uint16_t, const char*>, 17> kVersions{{
    {408, " SQL Server 6.5"},
    {515, " SQL Server 7.0"},
    {539, " SQL Server 2000"},
    {611, " SQL Server 2005"},
    {612, " SQL Server 2005 SP2+ with VarDecimal enabled"},
    {655, " SQL Server 2008"},
    {660, " SQL Server 2008 R2"},
    {661, " SQL Server 2008 R2"},
    {684, " SQL Server 2012 CTP1"},
    {706, " SQL Server 2012"},
    {782, " SQL Server 2014"},
    {852, " SQL Server 2016"},
    {868, " SQL Server 2017"},
    {869, " SQL Server 2017"},
    {904, " SQL Server 2019"},
    {957, " SQL Server 2022"},
    {998, " SQL Server 2025"},
}};

}  // namespace

std::string SqlVersionText(std::uint16_t version) {
    for (const auto& [number, text] : kVersions) {
        if (number == version) return text;
    }
    return "Unknown SQL Version";
}

CatalogLayout CatalogLayoutOfVersion(std::uint16_t version) {
    return (version != 0 && version <= kLastSql2000Version) ? CatalogLayout::kSql2000 : CatalogLayout::kSql2005;
}

}  // namespace pw

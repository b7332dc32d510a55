#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "storage/ProductRecord.h"
#include "support/Records.h"
#include "support/TempFolder.h"

namespace scortavia::test {

// A test case with a program folder of its own and the product archive's place in it; the archive
// exists only once the case writes it, so a case can also start from none.
class ProductArchiveFixture : public testing::Test {
protected:
    TempFolder folder;
    const std::filesystem::path archive = folder.file("Magazzino.pro");

    // Writes `products` as the whole archive and hands back its bytes, for comparing later.
    std::string withProducts(const std::vector<ProductRecord>& products) const {
        std::string bytes = archiveBytes(products);
        writeBytes(archive, bytes);
        return bytes;
    }
};

}  // namespace scortavia::test

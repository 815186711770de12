// SPDX-License-Identifier: MIT
// icatlas-find's entry point: hands the arguments to run() and makes sure the output got out.
#include "find/cli.hpp"
#include "find/console.hpp"

#include <exception>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

int main(int argc, char **argv)
{
    try {
        icatlas::find::Utf8Output utf8;
        const std::vector<std::string> arguments = icatlas::find::utf8Arguments(argc, argv);
        const std::vector<std::string_view> args(arguments.begin(), arguments.end());
        const int status = icatlas::find::run(args, utf8.out(), utf8.err());
        // A full disk or a closed pipe must not pass for a finished listing.
        if (!utf8.out().flush()) {
            utf8.err() << "icatlas-find: could not write the output\n";
            return icatlas::find::kExitUsageError;
        }
        return status;
    } catch (const std::exception &error) {
        std::cerr << "icatlas-find: " << error.what() << '\n';
        return icatlas::find::kExitUsageError;
    }
}

// SPDX-License-Identifier: MIT
// The smallest program this toolchain links: what it runs before main is the C runtime's own,
// which the start-up check allows icatlas and nothing more.
int main()
{
    return 0;
}

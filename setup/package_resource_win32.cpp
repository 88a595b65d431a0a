#include "setup/package_resource_win32.h"

#include "ui/resources/resource_ids.h"

PackageResource find_package_resource(HINSTANCE instance) {
    HRSRC found = FindResourceExA(instance, RT_RCDATA, MAKEINTRESOURCEA(IDR_PACKAGE),
                                  PACKAGE_LANGUAGE);
    if (!found) return {PackageLookup::missing, nullptr, 0};
    const DWORD size = SizeofResource(instance, found);
    if (size == 0) return {PackageLookup::empty, nullptr, 0};
    HGLOBAL loaded = LoadResource(instance, found);
    if (!loaded) return {PackageLookup::unloadable, nullptr, size};
    const void* data = LockResource(loaded);
    if (!data) return {PackageLookup::unloadable, nullptr, size};
    return {PackageLookup::found, data, size};
}

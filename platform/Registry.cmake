# The registry store: the TRegistry front over one JSON store file per user.
target_sources(harbrook_platform PRIVATE
  Registry.cpp Registry.h
  RegistryData.cpp RegistryData.h
  RegistryFile.cpp RegistryFile.h)

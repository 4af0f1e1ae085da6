#include "core/RyBase.h"

CRyBase::CRyBase(const char* name) : objectName(name != nullptr ? name : "") {}

CRyBase::~CRyBase() = default;

std::int32_t CRyBase::GetStatus() const { return status; }

std::uint32_t CRyBase::GetSystemError() const { return systemError; }

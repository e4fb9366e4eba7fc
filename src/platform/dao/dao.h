#pragma once
// The database layer (Jet/DAO's names on SQLite): include this one header.
#include "daoerror.h"
#include "daotypes.h"
#include "database.h"
#include "field.h"
#include "querydef.h"
#include "recordset.h"
#include "tabledef.h"

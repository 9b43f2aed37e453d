#pragma once

// The timeline view: items, their placement on a time axis, drawing and gestures. The window
// creates a TMetroVORNItemTimeline on its panel, gives it the file list as a TTimelineRows, and
// wires its track bars through TTimelineTrackBars.

#include "graph/ItemNetwork.h"
#include "graph/ItemTimeline.h"
#include "graph/MetroItemTimeline.h"
#include "graph/TimelineLayout.h"
#include "graph/TimelineLook.h"
#include "graph/TimelineRecord.h"
#include "graph/TimelineRows.h"
#include "graph/TimelineTicks.h"
#include "graph/TimelineTrackBars.h"

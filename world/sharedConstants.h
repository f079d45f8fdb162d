#pragma once
// The gameplay constants that all of the play world reads. Every derived value
// is a constant expression, so global objects built during program start-up
// (wave templates, the marker prototype) already see the final values.

// A full turn in radians; the angle of a tube position is (u + 0.25) * TWO_PI.
constexpr float TWO_PI = 6.2831855f;
constexpr float TUBE_SIZE = 20.0f;
constexpr float TUBE_RADIUS = 3.0f;
constexpr float TUBE_NEAR_LIMIT = -0.1f;
constexpr float TUBE_FAR_END = 4.0f;
constexpr float UNSET_VALUE = -10000.0f;
constexpr float BULLET_SPEED = 0.1825f;
constexpr float BULLET_SIZE = 0.01625f;
constexpr float BIG_BULLET_DAMAGE_BASE = 1.002001f;
constexpr float PLAYER_HIT_MIN_HEADING = 91.0f;
constexpr float PLAYER_HIT_MAX_HEADING = 269.0f;
constexpr float PLAYER_SIDE_SPEED = 0.365f;
constexpr float FIRE_ZONE_MIN_HEADING = 120.0f;
constexpr float FIRE_ZONE_MAX_HEADING = 240.0f;
constexpr float FIRE_ZONE_MAX_V = 2.0f;

// Derived values: one float rounding at the end of each formula. The angle
// factors are deliberately the float forms, not pi/180 rounded.
constexpr float DEG_TO_RAD = TWO_PI * 0.0027777778f;
constexpr float RAD_TO_DEG = 360.0f / TWO_PI;
constexpr float TUBE_LENGTH_SCALE = TUBE_SIZE * 4.0f;
constexpr float TUBE_ORIGIN_X = TUBE_SIZE * -0.5f;
constexpr float TUBE_ORIGIN_Y = -40.0f;
constexpr float FIGURE_SCALE = TWO_PI * 1.0f * TUBE_RADIUS;
constexpr float BIG_BULLET_SIZE = BULLET_SIZE * 2.0f;
constexpr float SMALL_BULLET_SIZE = BULLET_SIZE * 0.5f;
constexpr float BIG_BULLET_DAMAGE = BIG_BULLET_DAMAGE_BASE * 4.0f;
constexpr float MARKER_FAR_LIMIT = TUBE_FAR_END * 2.0f;
constexpr float MARKER_NEAR_LIMIT = -TUBE_FAR_END;
constexpr int LOOKAHEAD_MS = static_cast<int>(TUBE_FAR_END * 2.0f * 1000.0f);

// The simulation runs in fixed steps of song time, the frame of a 60 Hz
// display, whatever the render frame rate: the same game on every machine.
constexpr int STEP_MS = 16;
// The most steps one update runs to catch up after a stall: 20 s of song
// time, some 7 ms of work. A longer stall is caught up over the next
// updates, never skipped: the level director launches at most one wave of
// each of its chains in a step, so one wide window would lose whole waves.
constexpr int MAX_CATCH_UP_STEPS = 1250;

// The player ship.
constexpr float PLAYER_HALF_EXTENT_V = 0.004875f;
constexpr float PLAYER_RISE_SPEED = 0.05f;
constexpr int HOLD_DELAY_MS = 250;
constexpr int INVULNERABLE_MS = 6000;
constexpr int FIRE_PAUSE_MS = 2000;
constexpr int EXTRA_LIFE_STEP = 20000;
constexpr int START_LIVES = 5;

// The tentacle head, the game's boss.
constexpr float TENTHEAD_HALF_EXTENT_U = 0.499f;
constexpr float TENTHEAD_SHIELD_HIT_POINTS = 99999.0f;
constexpr float TENTHEAD_EXPOSED_HIT_POINTS = 50.0f;
constexpr int TENTHEAD_KILL_VALUE = 8000;

// The end of the song: from this song time the game is lost unless enough
// heads fell, in which case the player flies out along the tube.
constexpr int END_RULE_TIME_MS = 383000;
constexpr int TENTHEADS_REQUIRED = 2;
constexpr float EXIT_STOP_FRACTION = 0.9f;
constexpr float EXIT_ACCELERATION = 0.5f;

// One movement step of a formation script.
enum StepKind { STEP_DRIFT = 1, STEP_TURN = 2 };

struct MovementStep {
    int kind;
    float distance;   // drift steps
    bool increasing;  // turn steps: toward growing heading
    float radius;     // turn steps, tube units
    float angle;      // turn steps, degrees
};

constexpr int FORMATION_STEP_COUNT = 22;
extern const MovementStep FORMATION_STEPS[FORMATION_STEP_COUNT];

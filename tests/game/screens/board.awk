# Reads the pieces of a board from a screenshot and chooses a swap, for the screens tour.
# Input: the level's layout file, then ImageMagick's text dump of the board area scaled so that each
# square is 10 by 10 pixels ("convert shot -crop ... -scale 130x100! -depth 8 txt:-"). Each 10x10 cell
# gives the colour of its square's middle, which a piece at rest covers whole: pieces of one kind show
# the same colour there whatever the tile below, and the selection and hint marks only draw at the
# corners. Squares the layout gives no piece (holes, vines) never take part.
# Output: one line "x1 y1 x2 y2 cascade": a swap that makes a run, with cascade 1 when the pieces already
# on the board are sure to make a second run after the first has gone and the columns have fallen
# (worked out on boards without holes or vines only, where every column falls straight down), else
# the swap whose run lies lowest, with cascade 0. "none" when no swap makes a run. With -v dump=1 the
# kinds read are printed first, one row a line ("." for no piece).
BEGIN {
    columns = 13
    rows = 10
    kinds = 0
}

# The layout: 130 numbers, row by row; ";" starts a comment and words are skipped, as the game reads it.
FNR == NR {
    sub(/;.*/, "")
    for (i = 1; i <= NF; ++i) {
        if ($i !~ /^-?[0-9]+$/ || read >= columns * rows)
            continue
        code = $i + 0
        x = read % columns
        y = int(read / columns)
        ++read
        piece[x, y] = code == 0 || code == 2 || code == 5 || code == 6
        if (!piece[x, y])
            uneven = 1
    }
    next
}

# "x,y: (r,g,b...)": the four middle pixels of each cell.
/^[0-9]+,[0-9]+:/ {
    split($0, f, /[(),: ]+/)
    px = f[1] + 0
    py = f[2] + 0
    cx = px % 10
    cy = py % 10
    if ((cx == 4 || cx == 5) && (cy == 4 || cy == 5)) {
        x = int(px / 10)
        y = int(py / 10)
        r[x, y] += f[3] / 4
        g[x, y] += f[4] / 4
        b[x, y] += f[5] / 4
    }
}

function abs(v) { return v < 0 ? -v : v }

# A run of three or more through (x, y) on grid k.
function runAt(k, x, y,    kind, n, i) {
    kind = k[x, y]
    if (kind < 0)
        return 0
    n = 1
    for (i = x - 1; i >= 0 && k[i, y] == kind; --i) ++n
    for (i = x + 1; i < columns && k[i, y] == kind; ++i) ++n
    if (n >= 3)
        return 1
    n = 1
    for (i = y - 1; i >= 0 && k[x, i] == kind; --i) ++n
    for (i = y + 1; i < rows && k[x, i] == kind; ++i) ++n
    return n >= 3
}

function copyGrid(from, to,    x, y) {
    for (x = 0; x < columns; ++x)
        for (y = 0; y < rows; ++y)
            to[x, y] = from[x, y]
}

# Whether, after the runs on grid s are cleared and every column has fallen straight down with unknown
# pieces coming in at the top, the known pieces make a run.
function sureCascade(s,    x, y, t, fallen, gone, n) {
    for (x = 0; x < columns; ++x)
        for (y = 0; y < rows; ++y)
            gone[x, y] = runAt(s, x, y)
    for (x = 0; x < columns; ++x) {
        n = rows - 1
        for (y = rows - 1; y >= 0; --y)
            if (!gone[x, y])
                fallen[x, n--] = s[x, y]
        for (; n >= 0; --n)
            fallen[x, n] = -1
    }
    for (x = 0; x < columns; ++x)
        for (y = 0; y < rows; ++y)
            if (runAt(fallen, x, y))
                return 1
    return 0
}

END {
    if (read != columns * rows) {
        print "board.awk: the layout holds " read " of " columns * rows " numbers" > "/dev/stderr"
        exit 2
    }
    # Kinds by colour: a square joins the first kind whose colour is within a small distance.
    for (y = 0; y < rows; ++y)
        for (x = 0; x < columns; ++x) {
            k[x, y] = -1
            if (!piece[x, y])
                continue
            for (i = 0; i < kinds; ++i)
                if (abs(r[x, y] - kr[i]) + abs(g[x, y] - kg[i]) + abs(b[x, y] - kb[i]) < 16)
                    break
            if (i == kinds) {
                kr[i] = r[x, y]
                kg[i] = g[x, y]
                kb[i] = b[x, y]
                ++kinds
            }
            k[x, y] = i
        }
    if (dump) {
        for (y = 0; y < rows; ++y) {
            line = ""
            for (x = 0; x < columns; ++x)
                line = line (k[x, y] < 0 ? "." : sprintf("%c", 97 + k[x, y] % 26))
            print line
        }
    }
    best = ""
    bestRow = -1
    for (y = 0; y < rows; ++y)
        for (x = 0; x < columns; ++x)
            for (d = 0; d < 2; ++d) {
                nx = x + (d == 0)
                ny = y + (d == 1)
                if (nx >= columns || ny >= rows || k[x, y] < 0 || k[nx, ny] < 0 || k[x, y] == k[nx, ny])
                    continue
                copyGrid(k, s)
                s[x, y] = k[nx, ny]
                s[nx, ny] = k[x, y]
                if (!runAt(s, x, y) && !runAt(s, nx, ny))
                    continue
                if (!uneven && sureCascade(s)) {
                    print x, y, nx, ny, 1
                    exit 0
                }
                if (ny > bestRow) {
                    bestRow = ny
                    best = x " " y " " nx " " ny " 0"
                }
            }
    print best == "" ? "none" : best
}

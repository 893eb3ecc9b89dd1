#!/usr/bin/perl
# Writes the damaged boot.ini files of tests/e2e/scenarios/badfiles.sh, made afresh at every run so that
# megabyte files need not be kept in the repository. Usage: bad_boot_ini.pl KIND DIR
#   DIR/boot.ini           the file the program starts with
#   DIR/after-default.ini  that file once Default OS > first entry is chosen (kinds with entries)
#   DIR/after-timeout.ini  that file once Timeout > 20 is chosen next
#   DIR/after-default.wine.ini  (nul only) after-default.ini as Wine's whole-file rewrite leaves it
# Each file is rendered from the same parts with only the Default and Timeout values changed, so an
# expected file differs from the original in exactly the lines the program was asked to write.
# Only core Perl: perl-base is on every Debian system.
use strict;
use warnings;

my ($kind, $dir) = @ARGV;
die "usage: $0 KIND DIR\n" unless defined $dir && -d $dir;

my $CRLF = "\r\n";
my %kinds = (
    empty => \&empty,
    random => \&random_bytes,
    'random-mixed' => \&random_mixed,
    nul => \&nul_bytes,
    huge => \&huge,
    'long-key' => \&long_key,
    'long-value' => \&long_value,
    'no-os' => \&no_operating_systems,
    utf16 => \&utf16,
);
my $make = $kinds{$kind} or die "unknown kind $kind\n";
$make->();

sub put {
    my ($name, $bytes) = @_;
    open(my $fh, '>:raw', "$dir/$name") or die "$dir/$name: $!\n";
    print {$fh} $bytes;
    close($fh) or die "$dir/$name: $!\n";
}

# RENDER(timeout, default) gives the file's bytes; the first entry's key is what Default becomes.
sub put_all {
    my ($render, $timeout, $default, $first_key) = @_;
    put('boot.ini', $render->($timeout, $default));
    if (defined $first_key) {
        put('after-default.ini', $render->($timeout, $first_key));
        put('after-timeout.ini', $render->('20', $first_key));
    } else {
        put('after-timeout.ini', $render->('20', $default));
    }
}

sub empty {
    put('boot.ini', '');
    # Windows and Wine alike create the section and key in a file that has none.
    put('after-timeout.ini', "[boot loader]${CRLF}Timeout=20$CRLF");
}

# A fixed seed: the same bytes at every run (Perl's own generator since 5.20).
sub random_text {
    my ($seed, $length) = @_;
    srand($seed);
    return join('', map { chr(int(rand(256))) } 1 .. $length);
}

sub random_bytes {
    put('boot.ini', random_text(20240611, 4096));
}

# Real sections between two runs of random bytes, the second one under a header of its own so that
# none of its lines can join [operating systems].
sub random_mixed {
    put('boot.ini', random_text(20240612, 2048) . $CRLF
        . join($CRLF,
            '[boot loader]',
            'timeout=30',
            'default=multi(0)disk(0)rdisk(0)partition(2)\WINNT',
            '[operating systems]',
            'multi(0)disk(0)rdisk(0)partition(1)\WINDOWS="Alpha System" /fastdetect',
            'multi(0)disk(0)rdisk(0)partition(2)\WINNT="Beta System"',
            'C:\="Gamma System"',
            '[random tail]',
            random_text(20240613, 2048)));
}

# NUL bytes inside values, keys, a section name and a line of their own; the other entries are clean.
sub nul_bytes {
    my $render = sub {
        my ($timeout, $default) = @_;
        return join($CRLF,
            '[boot loader]',
            "timeout=$timeout",
            "default=$default",
            "\0junk=\0",
            '[operating systems]',
            'multi(0)disk(0)rdisk(0)partition(1)\WINDOWS="Alpha System" /fastdetect',
            "multi(0)disk(0)rdisk(0)partition(2)\\WINNT=\"Beta\0System\" /sos",
            "multi(0)disk(0)rdisk(0)partition(3)\\WIN\0DOWS=\"Gamma System\"",
            "\0\0\0\0",
            "\0C:\\CMDCONS\\BOOTSECT.DAT=Recovery Console /cmdcons",
            'D:\=Delta System',
            "[extra\0section]",
            'k=v',
            '');
    };
    my $first = 'multi(0)disk(0)rdisk(0)partition(1)\WINDOWS';
    put_all($render, '30', 'D:\\', $first);
    put('after-default.wine.ini', as_wine_rewrites($render->('30', $first)));
}

# Wine's WritePrivateProfileString rewrites the whole file from what it parsed, and its names and
# values end at their first NUL. Enough of that for the plain lines above: no blanks, no comments
# (a line that the cut leaves empty would be dropped by the next write, so only one is modelled).
sub as_wine_rewrites {
    my @lines = split(/\r\n/, $_[0]);
    for (@lines) {
        if (/^\[([^\]]*)\]/) {
            (my $name = $1) =~ s/\0.*//s;
            $_ = "[$name]";
        } elsif (/=/) {
            my ($name, $value) = split(/=/, $_, 2);
            s/\0.*//s for $name, $value;
            $_ = "$name=$value";
        } else {
            s/\0.*//s;
        }
    }
    return join($CRLF, @lines, '');
}

# About 4 MB: thousands of sections of filler around a real [boot loader] and [operating systems].
sub huge {
    my $filler = sub {
        my ($from, $to) = @_;
        my $text = '';
        for my $s ($from .. $to) {
            $text .= "[filler $s]$CRLF";
            $text .= sprintf("key%02d=value %d of section %d, padding padding padding$CRLF", $_, $_, $s)
                for 1 .. 3;
        }
        return $text;
    };
    my $before = $filler->(1, 10000);
    my $between = $filler->(10001, 13000);
    my $after = $filler->(13001, 22000);
    my $render = sub {
        my ($timeout, $default) = @_;
        return $before
            . "[boot loader]${CRLF}timeout=$timeout${CRLF}default=$default$CRLF"
            . $between
            . "[operating systems]$CRLF"
            . "multi(0)disk(0)rdisk(0)partition(1)\\WINDOWS=\"Huge Alpha\" /fastdetect$CRLF"
            . "multi(0)disk(0)rdisk(0)partition(2)\\WINNT=\"Huge Beta\"$CRLF"
            . $after;
    };
    put_all($render, '45', 'multi(0)disk(0)rdisk(0)partition(2)\WINNT',
        'multi(0)disk(0)rdisk(0)partition(1)\WINDOWS');
}

# Entries whose key is 30,000 and 100,000 characters long.
sub long_key {
    my $prefix = 'multi(0)disk(0)rdisk(0)partition(1)\\';
    my $long_key = $prefix . ('K' x (30000 - length($prefix)));
    my $longer_key = $prefix . ('L' x (100000 - length($prefix)));
    my $render = sub {
        my ($timeout, $default) = @_;
        return join($CRLF,
            '[boot loader]',
            "timeout=$timeout",
            "default=$default",
            '[operating systems]',
            "$long_key=\"Long Key System\" /fastdetect",
            "$longer_key=\"Longer Key System\"",
            'C:\\="Short System"',
            '');
    };
    put_all($render, '10', 'C:\\', $long_key);
}

# An entry whose value is 100,000 characters long. Only Timeout is written: the 254-character caption
# makes Default OS wider than the test desktop, so it opens over the item that opened it.
sub long_value {
    my $long_value = substr('Long Value ' . ('0123456789' x 10000), 0, 100000);
    my $render = sub {
        my ($timeout, $default) = @_;
        return join($CRLF,
            '[boot loader]',
            "timeout=$timeout",
            "default=$default",
            '[operating systems]',
            "multi(0)disk(0)rdisk(0)partition(2)\\WINNT=$long_value",
            'C:\\="Short System"',
            '');
    };
    put_all($render, '10', 'C:\\');
}

# Everything but the [operating systems] section, with names close to it.
sub no_operating_systems {
    my $render = sub {
        my ($timeout, $default) = @_;
        return join($CRLF,
            '[boot loader]',
            "timeout=$timeout",
            "default=$default",
            '[operating system]',
            'multi(0)disk(0)rdisk(0)partition(1)\WINDOWS="Near Miss"',
            '[operating systems old]',
            'multi(0)disk(0)rdisk(0)partition(2)\WINDOWS="Old One"',
            '');
    };
    put_all($render, '15', 'multi(0)disk(0)rdisk(0)partition(1)\WINDOWS');
}

# UTF-16LE with its byte-order mark. The entry names hold a letter of Windows-1252 and one outside
# it, which the program's ANSI calls can only get as '?'.
sub utf16 {
    my $render = sub {
        my ($timeout, $default) = @_;
        my @chars = map { ord } split //, join($CRLF,
            '[boot loader]',
            "timeout=$timeout",
            "default=$default",
            '[operating systems]',
            "multi(0)disk(0)rdisk(0)partition(1)\\WINDOWS=\"Syst\x{e8}me Alpha\" /fastdetect",
            "multi(0)disk(0)rdisk(0)partition(2)\\WINNT=\"Beta \x{4e00} System\"",
            '');
        return "\xFF\xFE" . pack('v*', @chars);
    };
    put_all($render, '30', 'multi(0)disk(0)rdisk(0)partition(2)\WINNT',
        'multi(0)disk(0)rdisk(0)partition(1)\WINDOWS');
}

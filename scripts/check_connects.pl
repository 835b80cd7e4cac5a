#!/usr/bin/perl
# Every connection of a signal to a function names the object whose life bounds
# that function: connect(sender, &Sender::signal, context, function), never the
# three-argument form, which runs the function after its captures are gone.
# QT_NO_CONTEXTLESS_CONNECT refuses the three-argument form from Qt 6.7 on;
# this finds it with any Qt. Usage: check_connects.pl FILE...
use strict;
use warnings;

my $status = 0;
for my $file (@ARGV) {
    open my $fh, '<', $file or die "$file: $!\n";
    my $src = do { local $/; <$fh> };
    close $fh;
    # Comments and literals blanked, their line breaks kept.
    $src =~ s{//[^\n]*|/\*.*?\*/|R"([^(]*)\(.*?\)\1"|"(?:\\.|[^"\\\n])*"|(?<!\w)'(?:\\.|[^'\\\n])*'}
             {(my $m = $&) =~ s/[^\n]/ /g; $m}gse;
    while ($src =~ /(?<!\w)connect\s*(\((?:[^()]++|(?1))*\))/g) {
        my ($call, $at) = ($1, $-[0]);
        # The call's arguments, split at the commas outside brackets.
        my ($depth, @args) = (0, '');
        for my $c (split //, substr($call, 1, -1)) {
            $depth += $c =~ /[([{]/ ? 1 : $c =~ /[)\]}]/ ? -1 : 0;
            if ($c eq ',' && $depth == 0) { push @args, '' } else { $args[-1] .= $c }
        }
        next unless @args == 3 && $args[1] =~ /^\s*&/;
        my $line = 1 + (substr($src, 0, $at) =~ tr/\n//);
        print STDERR "$file:$line: connect without a context object: "
          . "name the receiver whose life bounds the function\n";
        $status = 1;
    }
}
exit $status;
